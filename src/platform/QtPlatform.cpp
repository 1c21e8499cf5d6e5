#include "QtPlatform.h"

#include "Paper.h"
#include "SongPlayer.h"
#include "UrlOpener.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSoundEffect>
#include <QStandardPaths>
#include <QUrl>

namespace fl {

QtPlatform::QtPlatform() : m_cd(std::make_unique<NoCdDevice>()) {}
QtPlatform::~QtPlatform() = default;

Platform::Answer QtPlatform::messageBox(const QString& text, const QString& title, Buttons buttons, Icon icon)
{
    return detailedMessageBox(text, {}, title, buttons, icon);
}

Platform::Answer QtPlatform::detailedMessageBox(const QString& text, const QString& details, const QString& title,
                                                Buttons buttons, Icon icon)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText); // names of regions, sites and files as they are
    box.setText(text);
    // "Show Details..." opens a scrolling box under the message; the message stays its size.
    if (!details.isEmpty()) box.setDetailedText(details);
    switch (icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    }
    switch (buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    // The hourglass must not hide the pointer while the user answers.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int r = box.exec();
    if (busy) QApplication::restoreOverrideCursor();
    switch (r) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: return buttons == Buttons::Ok ? Answer::Ok : (r == QMessageBox::Ok ? Answer::Ok : Answer::Cancel);
    }
}

std::optional<QString> QtPlatform::inputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    QInputDialog dialog(m_parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    dialog.setInputMode(QInputDialog::TextInput);
    // The prompt is shown as it is, whatever names it holds.
    for (QLabel* label : dialog.findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue();
}

namespace {
// "Wave Files(*.wav)|*.wav|All Files(*.*)|*.*" as the file dialog's filter list:
// "Wave Files (*.wav);;All Files (*)".
QString dialogFilter(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const qsizetype open = description.indexOf(u'(');
        if (open > 0) description = description.left(open);
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString& p : patterns)
            if (p == u"*.*") p = QStringLiteral("*");
        entries << description.trimmed() + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return entries.isEmpty() ? filter : entries.join(QStringLiteral(";;"));
}
} // namespace

QString QtPlatform::openFileDialog(const QString& title, const QString& folder, const QString& filter)
{
    const QString file = QFileDialog::getOpenFileName(m_parent, title, folder, dialogFilter(filter));
    // The dialog only closes with a file or by a cancel.
    return file.isEmpty() ? QString() : file;
}

QString QtPlatform::saveFileDialog(const QString& title, const QString& suggested, const QString& filter)
{
    return QFileDialog::getSaveFileName(m_parent, title, suggested, filter);
}

void QtPlatform::beep() { QApplication::beep(); }

void QtPlatform::setHourglass(bool on)
{
    if (on) {
        if (m_hourglassDepth++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_hourglassDepth > 0) {
        if (--m_hourglassDepth == 0) QApplication::restoreOverrideCursor();
    }
}

void QtPlatform::setClipboardText(const QString& text) { QGuiApplication::clipboard()->setText(text); }

void QtPlatform::setUrlOpener(const QString& program, int timeLimitMs)
{
    m_urlOpener = program;
    m_urlOpenerLimit = timeLimitMs;
}

bool QtPlatform::openInBrowser(const QString& url)
{
    const QUrl address = QUrl::fromUserInput(url);
    const QString opener =
        m_urlOpener.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("xdg-open")) : m_urlOpener;
    // Without the desktop's opener, Qt's own way; it can only tell whether something started.
    if (opener.isEmpty()) return QDesktopServices::openUrl(address);
    // The opener reports whether the browser took the address; asking Qt would only say
    // that the opener started.
    Hourglass busy(*this);
    const OpenerResult r = runOpener(opener, {address.toString(QUrl::FullyEncoded)}, m_urlOpenerLimit, [] {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    return r != OpenerResult::Failed;
}

void QtPlatform::playSound(const QString& path)
{
    if (!m_songs) m_songs = std::make_unique<SongPlayer>([] { QApplication::beep(); });
    m_songs->play(path);
}

void QtPlatform::stopSound()
{
    if (m_songs) m_songs->stop();
}

void QtPlatform::setCdDevice(std::unique_ptr<CdDevice> device)
{
    m_cd = device ? std::move(device) : std::make_unique<NoCdDevice>();
}

CdDevice& QtPlatform::cdDevice() { return *m_cd; }

bool QtPlatform::previewReport(const QString& windowTitle, PrintableReport& report)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(windowTitle);
    // The locale's paper, whatever the printer was left at; the user may pick another.
    printer.setPageSize(defaultReportPaper());
    printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    QPrintPreviewDialog dialog(&printer, m_parent);
    dialog.setWindowTitle(windowTitle);
    // Painted from the dialog's own signal: a failure is told here and goes no further.
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [this, &report](QPrinter* p) noexcept {
        QString problem;
        try {
            report.print(p);
        } catch (const std::exception& e) {
            problem = QString::fromUtf8(e.what());
        } catch (...) {
            problem = QStringLiteral("An unexpected error occurred.");
        }
        if (problem.isEmpty()) return;
        try {
            messageBox(QStringLiteral("The report could not be shown.\n\n") + problem, QStringLiteral("Featherlog"),
                       Buttons::Ok, Icon::Exclamation);
        } catch (...) {
            // Nothing more can be shown; the preview stays empty.
        }
    });
    // The hourglass must not hide the pointer while the user looks at the preview.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
    dialog.resize(900, 1000);
    dialog.exec();
    if (busy) QApplication::restoreOverrideCursor();
    return true;
}

void QtPlatform::showHelp(const QString& topic)
{
    if (m_helpViewer) {
        m_helpViewer(topic);
        return;
    }
    const QString file = QDir(m_helpFolder).filePath(QStringLiteral("help/index.html"));
    QUrl url = QUrl::fromLocalFile(file);
    if (!topic.isEmpty()) url.setFragment(topic);
    QDesktopServices::openUrl(url);
}

} // namespace fl

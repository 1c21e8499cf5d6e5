#include "QtPlatform.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QSoundEffect>
#include <QTextDocument>
#include <QUrl>

namespace fl {

QtPlatform::QtPlatform() = default;
QtPlatform::~QtPlatform() = default;

Platform::Answer QtPlatform::messageBox(const QString& text, const QString& title, Buttons buttons, Icon icon)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(title);
    box.setText(text);
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
    bool ok = false;
    const QString text = QInputDialog::getText(m_parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok) return std::nullopt;
    return text;
}

QString QtPlatform::openFileDialog(const QString& title, const QString& folder, const QString& filter)
{
    return QFileDialog::getOpenFileName(m_parent, title, folder, filter);
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

bool QtPlatform::openInBrowser(const QString& url) { return QDesktopServices::openUrl(QUrl::fromUserInput(url)); }

bool QtPlatform::playSound(const QString& path)
{
    if (!QFileInfo::exists(path)) return false;
    m_sound = std::make_unique<QSoundEffect>();
    m_sound->setSource(QUrl::fromLocalFile(path));
    m_sound->play();
    return true;
}

// No audio CD drive is reachable from this program on this system.
bool QtPlatform::cdAvailable() { return false; }
bool QtPlatform::cdPlay(int, double, double) { return false; }
void QtPlatform::cdStop() {}
void QtPlatform::cdClose() {}

bool QtPlatform::printReport(const Report& report)
{
    QPrinter printer;
    printer.setDocName(report.title);
    QPrintDialog dialog(&printer, m_parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    QTextDocument doc;
    doc.setHtml(report.html);
    doc.print(&printer);
    return true;
}

void QtPlatform::showHelp(const QString& topic)
{
    const QString file = QDir(m_helpFolder).filePath(QStringLiteral("help/index.html"));
    QUrl url = QUrl::fromLocalFile(file);
    if (!topic.isEmpty()) url.setFragment(topic);
    QDesktopServices::openUrl(url);
}

} // namespace fl

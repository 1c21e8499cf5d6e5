// The picture area of the main window: the current picture of the species, fitted to its
// viewport, and the four clickable icons.

#include "frmDisplay.h"

#include "state/AppFolder.h"
#include "state/AppState.h"
#include "browser/frmZoom.h"
#include "platform/Platform.h"
#include "ui/Guard.h"
#include "ui/Silhouettes.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QTextEdit>
#include <QDropEvent>
#include <QFileInfo>
#include <QImageReader>
#include <QLineEdit>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QToolButton>
#include <QUrl>

namespace fl {

namespace {
constexpr int kFileNotFound = 53;
constexpr int kInvalidUseOfNull = 94;
constexpr int kInvalidPicture = 481;
} // namespace

void frmDisplay::pictureError(int number)
{
    const QString text = number == kFileNotFound ? QStringLiteral("Cannot find Image file. Error:")
                                                 : QStringLiteral("Image Display problem. Error:");
    m_ctx.platform.messageBox(text + QString::number(number), QStringLiteral("Image Display Problem"),
                              Platform::Buttons::Ok, Platform::Icon::Exclamation);
    m_picture = QPixmap();
    Picture2->clear();
    Picture2->resize(0, 0);
    lblName[3]->setText(QStringLiteral("Bad Image"));
}

void frmDisplay::showNoPicture(bool on)
{
    if (on) {
        // The family's silhouette, in grey.
        const QVariant family = m_ctx.state.rsBird.isOpen() && !m_ctx.state.rsBird.eof()
                                    ? m_ctx.state.rsBird.field(QStringLiteral("family_ID"))
                                    : QVariant();
        const int familyId = family.toInt();
        auto cached = m_greySilhouettes.constFind(familyId);
        if (cached == m_greySilhouettes.constEnd()) {
            const int number =
                family.isNull() ? 0
                                : m_ctx.state.db().scalar(QStringLiteral("SELECT images FROM Families WHERE Fam_ID = ?"),
                                                          {family}).toInt();
            QPixmap grey = silhouette(number);
            if (!grey.isNull()) {
                QPainter p(&grey);
                p.setCompositionMode(QPainter::CompositionMode_SourceIn);
                p.fillRect(grey.rect(), QColor(0xA0, 0xA0, 0xA0));
            }
            cached = m_greySilhouettes.insert(familyId, grey);
        }
        const QPixmap shape = *cached;
        if (imgNoPicture->pixmap().cacheKey() != shape.cacheKey()) imgNoPicture->setPixmap(shape);
        imgNoPicture->setVisible(!shape.isNull());
        picNone->setGeometry(Picture1->rect());
    }
    picNone->setVisible(on);
}

void frmDisplay::SetUpPicture()
{
    AppState& s = m_ctx.state;
    Picture2->hide();
    showNoPicture(false);
    if (s.rsImages.isOpen() && s.rsImages.recordCount() > 0 && !s.rsImages.eof() && !s.rsImages.bof()) {
        const QVariant title = s.rsImages.field(QStringLiteral("Title"));
        if (title.isNull()) pictureError(kInvalidUseOfNull);
        else lblName[3]->setText(title.toString());

        const QString file = resolvePath(s.dataFolder, QStringLiteral("images/")
                                                          + s.rsImages.field(QStringLiteral("File")).toString());
        if (!QFileInfo(file).isFile()) {
            pictureError(kFileNotFound);
        } else {
            QImageReader reader(file);
            reader.setDecideFormatFromContent(true);
            const QImage image = reader.read();
            if (image.isNull()) {
                pictureError(kInvalidPicture);
            } else {
                m_picture = QPixmap::fromImage(image);
                Picture2->setPixmap(m_picture);
                Picture2->resize(m_picture.size());
            }
        }
    }
    img[2]->setVisible(s.rsImages.isOpen() && s.rsImages.recordCount() > 1);
    Picture2->move(0, 0);
    fitPicture();
    Picture2->show();
}

void frmDisplay::fitPicture()
{
    const QSize view = Picture1->size();
    picNone->setGeometry(Picture1->rect());
    const QSize pic = Picture2->size();
    QPoint pos = Picture2->pos();
    if (pic.width() < view.width()) pos.setX((view.width() - pic.width()) / 2);
    if (pic.height() < view.height()) pos.setY((view.height() - pic.height()) / 2);
    Picture2->move(pos);
    img[3]->setVisible(pic.width() > view.width() || pic.height() > view.height());
}

void frmDisplay::showCurrentPicture()
{
    const db::Recordset& rs = m_ctx.state.rsImages;
    const bool current = rs.isOpen() && !rs.eof() && !rs.bof();
    if (current) {
        SetUpPicture();
    } else {
        m_picture = QPixmap();
        Picture2->clear();
        Picture2->resize(0, 0);
        Picture2->hide();
        lblName[3]->clear();
        img[2]->hide();
        img[3]->hide();
        showNoPicture(true);
    }
    m_commands.setEnabled(QStringLiteral("mnuFileImageDelete"), current);
    m_commands.setEnabled(QStringLiteral("mnuFileEditTitle"), current);
}

void frmDisplay::setPictureTitle(const QString& title) { lblName[3]->setText(title); }

namespace {
QStringList localFiles(const QMimeData* mime)
{
    QStringList files;
    if (mime && mime->hasUrls())
        for (const QUrl& url : mime->urls())
            if (url.isLocalFile()) files << url.toLocalFile();
    return files;
}
} // namespace

bool frmDisplay::eventFilter(QObject* watched, QEvent* event)
{
    // The menus' shortcuts win over the keys a text box would claim for itself (Ctrl+E is
    // "end of line" in the boxes of many desktops).
    if (event->type() == QEvent::ShortcutOverride && (watched == cmbNames || watched == txtData)
        && isMenuShortcut(*static_cast<QKeyEvent*>(event))) {
        event->ignore();
        return true;
    }
    // Leaving the species box with text that names no species puts the shown name back.
    if (watched == cmbNames) {
        if (event->type() == QEvent::FocusOut && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason
            && cmbNames->findText(cmbNames->currentText(), Qt::MatchExactly) < 0)
            restoreShownName();
        return QMainWindow::eventFilter(watched, event);
    }
    if (watched != Picture1) return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (m_pictureDrop && !localFiles(drag->mimeData()).isEmpty()) drag->acceptProposedAction();
        else drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList files = localFiles(drop->mimeData());
        if (!m_pictureDrop || files.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        // Handled once the drop has finished, so that the questions it asks do not hold the drag.
        QMetaObject::invokeMethod(this,
                                  guarded(m_ctx.platform, QStringLiteral("The dropped pictures could not be added."),
                                          [this, files] {
                                              if (m_pictureDrop) m_pictureDrop(files);
                                          }),
                                  Qt::QueuedConnection);
        return true;
    }
    default:
        return QMainWindow::eventFilter(watched, event);
    }
}

void frmDisplay::img_Click(int index)
{
    AppState& s = m_ctx.state;
    switch (index) {
    case 0:
        runCommand(kLinksIconCommand);
        break;
    case 1:
        runCommand(kStatusIconCommand);
        break;
    case 2:
        if (s.rsImages.isOpen() && s.rsImages.recordCount() > 0) {
            s.rsImages.moveNext();
            if (s.rsImages.eof()) s.rsImages.moveFirst();
            SetUpPicture();
        }
        break;
    case 3: {
        frmZoom zoom(lblName[0]->text(), lblName[3]->text(), m_picture, this);
        zoom.exec();
        break;
    }
    default:
        return;
    }
    cmbNames->setFocus();
}

} // namespace fl

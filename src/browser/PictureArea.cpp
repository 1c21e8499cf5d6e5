#include "PictureArea.h"

#include "frmZoom.h"

#include "state/AppFolder.h"
#include "state/AppState.h"
#include "state/SpeciesOnShow.h"
#include "platform/Platform.h"
#include "ui/CommandRegistry.h"
#include "ui/Context.h"
#include "ui/Guard.h"
#include "ui/ImageList.h"
#include "ui/MainWindow.h"
#include "ui/Silhouettes.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QFrame>
#include <QImageReader>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace fl {

namespace {

constexpr int kFileNotFound = 53;
constexpr int kInvalidUseOfNull = 94;
constexpr int kInvalidPicture = 481;

QStringList localFiles(const QMimeData* mime)
{
    QStringList files;
    if (mime && mime->hasUrls())
        for (const QUrl& url : mime->urls())
            if (url.isLocalFile()) files << url.toLocalFile();
    return files;
}

} // namespace

PictureArea::PictureArea(Context& ctx, CommandRegistry& commands, SpeciesOnShow& species, QWidget* client)
    : QObject(client), m_ctx(ctx), m_commands(commands), m_species(species), m_client(client)
{
    auto place = [this](QWidget* w, int left, int top, int width, int height) {
        w->setGeometry(tw(left), tw(top), tw(width), tw(height));
    };
    picCont = new QFrame(client);
    picCont->setObjectName(QStringLiteral("picCont(1)"));
    picCont->setFrameShape(QFrame::StyledPanel);
    place(picCont, 4980, 1620, 4155, 3735);
    picCont->setAutoFillBackground(true);
    QPalette grey = picCont->palette();
    grey.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    picCont->setPalette(grey);

    imgNext = new QToolButton(picCont);
    imgNext->setObjectName(QStringLiteral("img(2)"));
    imgNext->setToolTip(QStringLiteral("Next picture"));
    imgWhole = new QToolButton(picCont);
    imgWhole->setObjectName(QStringLiteral("img(3)"));
    imgWhole->setToolTip(QStringLiteral("Show the whole picture"));
    for (QToolButton* icon : {imgNext, imgWhole}) {
        icon->setAutoRaise(true);
        icon->setAccessibleName(icon->toolTip());
        icon->setIconSize(QSize(tw(435) - 4, tw(435) - 4));
        icon->hide();
    }
    place(imgNext, 60, 60, 435, 465);
    place(imgWhole, 600, 60, 435, 465);
    // After either icon the keyboard goes back to the species list.
    connectGuarded(imgNext, &QToolButton::clicked, this, ctx.platform, QStringLiteral("The next picture could not be shown."),
                   [this] {
                       nextPicture();
                       m_ctx.main->focusSpeciesList();
                   });
    connectGuarded(imgWhole, &QToolButton::clicked, this, ctx.platform,
                   QStringLiteral("The whole picture could not be shown."), [this] {
                       zoom();
                       m_ctx.main->focusSpeciesList();
                   });

    lblTitle = new QLabel(picCont);
    lblTitle->setObjectName(QStringLiteral("lblName(3)"));
    lblTitle->setTextFormat(Qt::PlainText); // titles are shown as they are
    QFont bold = lblTitle->font();
    bold.setBold(true);
    lblTitle->setFont(bold);
    lblTitle->setAlignment(Qt::AlignCenter);
    place(lblTitle, 60, 165, 3945, 300);
    lblTitle->lower(); // the picture icons sit over the title's left end

    Picture1 = new QWidget(picCont);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setAutoFillBackground(true);
    QPalette white = Picture1->palette();
    white.setColor(QPalette::Window, Qt::white);
    Picture1->setPalette(white);
    place(Picture1, 60, 600, 3960, 3600);
    Picture2 = new QLabel(Picture1);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setAutoFillBackground(true);
    Picture2->setPalette(white);
    Picture2->move(0, 0);
    picNone = new QWidget(Picture1);
    picNone->setObjectName(QStringLiteral("picNone"));
    auto* noPicture = new QVBoxLayout(picNone);
    imgNoPicture = new QLabel(picNone);
    imgNoPicture->setObjectName(QStringLiteral("imgNoPicture"));
    imgNoPicture->setAlignment(Qt::AlignCenter);
    lblNoPicture = new QLabel(QStringLiteral("No picture yet: File \u203A Add New Image, or drop a picture file here"),
                              picNone);
    lblNoPicture->setObjectName(QStringLiteral("lblNoPicture"));
    lblNoPicture->setAlignment(Qt::AlignCenter);
    lblNoPicture->setWordWrap(true);
    QPalette greyText = lblNoPicture->palette();
    greyText.setColor(QPalette::WindowText, QColor(0x70, 0x70, 0x70));
    lblNoPicture->setPalette(greyText);
    noPicture->addStretch();
    noPicture->addWidget(imgNoPicture);
    noPicture->addWidget(lblNoPicture);
    noPicture->addStretch();
    picNone->hide();
    // Picture files dropped here go to the handler that the picture catalogue registers.
    Picture1->setAcceptDrops(true);
    Picture1->installEventFilter(this);
}

int PictureArea::tw(int twips) const { return twipsToPixels(twips, m_client->logicalDpiY()); }

void PictureArea::load()
{
    m_greySilhouettes.clear(); // the database may have been replaced
    imgNext->setIcon(ImageList1::icon(17));
    imgWhole->setIcon(ImageList1::icon(18));
}

void PictureArea::setEnabled(bool enabled)
{
    imgNext->setEnabled(enabled);
    imgWhole->setEnabled(enabled);
}

void PictureArea::clear()
{
    m_picture = QPixmap();
    Picture2->clear();
    Picture2->hide();
    lblTitle->clear();
    showNoPicture(false);
    imgNext->hide();
    imgWhole->hide();
}

void PictureArea::showSpecies()
{
    Picture2->hide();
    Picture2->move(0, 0);
    db::Recordset& pictures = m_species.pictures();
    const bool any = pictures.recordCount() > 0;
    if (!any) {
        showNone();
    } else {
        pictures.moveLast();
        pictures.moveFirst();
        setUp();
        Picture2->show();
    }
    enablePictureCommands(any);
}

void PictureArea::showNone()
{
    m_picture = QPixmap();
    Picture2->clear();
    Picture2->resize(0, 0);
    Picture2->hide();
    lblTitle->clear();
    imgNext->hide();
    imgWhole->hide();
    showNoPicture(true);
}

void PictureArea::enablePictureCommands(bool on)
{
    m_commands.setEnabled(cmd::mnuFileImageDelete, on);
    m_commands.setEnabled(cmd::mnuFileEditTitle, on);
}

void PictureArea::pictureError(int number)
{
    const QString text = number == kFileNotFound ? QStringLiteral("Cannot find Image file. Error:")
                                                 : QStringLiteral("Image Display problem. Error:");
    m_ctx.platform.messageBox(text + QString::number(number), QStringLiteral("Image Display Problem"),
                              Platform::Buttons::Ok, Platform::Icon::Exclamation);
    m_picture = QPixmap();
    Picture2->clear();
    Picture2->resize(0, 0);
    lblTitle->setText(QStringLiteral("Bad Image"));
}

void PictureArea::showNoPicture(bool on)
{
    if (on) {
        // The family's silhouette, in grey.
        const int familyId = m_species.familyId();
        auto cached = m_greySilhouettes.constFind(familyId);
        if (cached == m_greySilhouettes.constEnd()) {
            const int number =
                familyId == 0 ? 0
                              : m_ctx.state.db().scalar(QStringLiteral("SELECT images FROM Families WHERE Fam_ID = ?"),
                                                        {familyId}).toInt();
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

void PictureArea::setUp()
{
    Picture2->hide();
    showNoPicture(false);
    const db::Recordset& pictures = m_species.pictures();
    if (m_species.pictureShown()) {
        const QVariant title = pictures.field(QStringLiteral("Title"));
        if (title.isNull()) pictureError(kInvalidUseOfNull);
        else lblTitle->setText(title.toString());

        const QString file = resolvePath(m_ctx.state.dataFolder, QStringLiteral("images/")
                                                                     + pictures.field(QStringLiteral("File")).toString());
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
    imgNext->setVisible(pictures.isOpen() && pictures.recordCount() > 1);
    Picture2->move(0, 0);
    fit();
    Picture2->show();
}

void PictureArea::fit()
{
    const QSize view = Picture1->size();
    picNone->setGeometry(Picture1->rect());
    const QSize pic = Picture2->size();
    QPoint pos = Picture2->pos();
    if (pic.width() < view.width()) pos.setX((view.width() - pic.width()) / 2);
    if (pic.height() < view.height()) pos.setY((view.height() - pic.height()) / 2);
    Picture2->move(pos);
    imgWhole->setVisible(pic.width() > view.width() || pic.height() > view.height());
}

void PictureArea::showCurrent()
{
    const bool current = m_species.pictureShown();
    if (current) setUp();
    else showNone();
    enablePictureCommands(current);
}

void PictureArea::setTitle(const QString& title) { lblTitle->setText(title); }

void PictureArea::nextPicture()
{
    db::Recordset& pictures = m_species.pictures();
    if (!pictures.isOpen() || pictures.recordCount() == 0) return;
    pictures.moveNext();
    if (pictures.eof()) pictures.moveFirst();
    setUp();
}

void PictureArea::zoom()
{
    frmZoom zoom(m_species.name(), lblTitle->text(), m_picture, m_ctx.main->dialogParent());
    zoom.exec();
}

void PictureArea::setHeight(int twips)
{
    picCont->resize(picCont->width(), tw(twips));
    Picture1->resize(Picture1->width(), tw(twips - 700));
}

void PictureArea::setWidth(int twips, int left)
{
    picCont->resize(tw(twips), picCont->height());
    Picture1->resize(tw(twips - 200), Picture1->height());
    picCont->move(tw(left), picCont->y());
    lblTitle->resize(tw(twips - 160), lblTitle->height());
}

void PictureArea::chainTabOrder(QWidget* previous)
{
    QWidget::setTabOrder(previous, imgNext);
    QWidget::setTabOrder(imgNext, imgWhole);
}

bool PictureArea::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != Picture1) return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (m_drop && !localFiles(drag->mimeData()).isEmpty()) drag->acceptProposedAction();
        else drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList files = localFiles(drop->mimeData());
        if (!m_drop || files.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        // Handled once the drop has finished, so that the questions it asks do not hold the drag.
        QMetaObject::invokeMethod(this,
                                  guarded(m_ctx.platform, QStringLiteral("The dropped pictures could not be added."),
                                          [this, files] {
                                              if (m_drop) m_drop(files);
                                          }),
                                  Qt::QueuedConnection);
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

} // namespace fl

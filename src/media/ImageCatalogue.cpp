#include "ImageCatalogue.h"

#include "state/AppFolder.h"
#include "state/AppState.h"
#include "ImageFiles.h"
#include "platform/Platform.h"
#include "ui/CommandRegistry.h"
#include "ui/Context.h"
#include "ui/MainWindow.h"

#include <QDir>
#include <QFileInfo>
#include <memory>
#include <stdexcept>

namespace fl {

namespace {
// Every kind of picture the program shows comes first; then the long-standing choices.
const QString kImageFilter = QStringLiteral(
    "All Pictures(*.png, *.jpg, *.jpeg, *.gif, *.bmp)|*.png;*.jpg;*.jpeg;*.gif;*.bmp|"
    "Image Files(*.gif, *.jpg, *.bmp)|*.gif;*.jpg;*.bmp|All Files(*.*)|*.*");
} // namespace

ImageCatalogue::ImageCatalogue(Context& ctx) : m_ctx(ctx) {}

QString ImageCatalogue::imagesFolder() const { return resolvePath(m_ctx.state.dataFolder, QStringLiteral("Images")); }

bool ImageCatalogue::speciesShown() const
{
    const db::Recordset& bird = m_ctx.state.rsBird;
    return bird.isOpen() && !bird.eof() && !bird.bof() && m_ctx.state.rsImages.isOpen();
}

bool ImageCatalogue::pictureShown() const
{
    const db::Recordset& rs = m_ctx.state.rsImages;
    return rs.isOpen() && !rs.eof() && !rs.bof();
}

std::optional<QString> ImageCatalogue::askTitle()
{
    const auto answer = m_ctx.platform.inputBox(QStringLiteral("Please enter a  short title for the image."),
                                                QStringLiteral("Image Title"), QString());
    if (!answer || answer->isEmpty()) return std::nullopt;
    return answer;
}

void ImageCatalogue::linkImage(const QString& file, const QString& title)
{
    AppState& s = m_ctx.state;
    if (!speciesShown()) throw std::runtime_error("There is no bird on show to link the picture to.");
    const QVariant id = s.rsBird.field(QStringLiteral("id"));
    s.rsImages.addNew();
    s.rsImages.setField(QStringLiteral("bird_ID"), id);
    s.rsImages.setField(QStringLiteral("File"), file);
    s.rsImages.setField(QStringLiteral("Title"), title);
    s.rsImages.update();

    // In the order the rows were added, so the new picture is the last one.
    s.rsImages = s.db().openRecordset(QStringLiteral("Select * from images where Bird_ID = ? Order By rowid"),
                                      db::RecordsetKind::Dynaset, {id});
    if (s.rsImages.recordCount() > 0) s.rsImages.moveLast();
    m_ctx.main->showCurrentPicture();
}

void ImageCatalogue::mnuFileImage_Click()
{
    Platform& p = m_ctx.platform;
    if (!speciesShown()) return;
    const QString chosen = p.openFileDialog(QStringLiteral("Link an Image File"), imagesFolder(), kImageFilter);
    if (chosen.isEmpty()) return; // cancelled

    const QString name = QFileInfo(QDir::fromNativeSeparators(chosen)).fileName();
    if (name.isEmpty()) {
        p.messageBox(QStringLiteral("You must select a File to Link."), QStringLiteral("Missing File Name"),
                     Platform::Buttons::Ok, Platform::Icon::Exclamation);
        return;
    }
    if (!liesDirectlyIn(chosen, joinPath(m_ctx.state.dataFolder, QStringLiteral("Images")))) {
        p.messageBox(QStringLiteral("The Image file must come from the Images folder in the main application."),
                     QStringLiteral("Wrong Folder"), Platform::Buttons::Ok, Platform::Icon::Exclamation);
        return;
    }
    const auto title = askTitle();
    if (!title) return;
    linkImage(name, *title);
}

void ImageCatalogue::mnuFileImageDelete_Click()
{
    if (!pictureShown()) return;
    db::Recordset& rs = m_ctx.state.rsImages;
    const QString question = QStringLiteral("Do you really want to remove this image '")
        + rs.field(QStringLiteral("File")).toString() + QStringLiteral("' from the database?");
    if (m_ctx.platform.messageBox(question, QStringLiteral("Remove Image"), Platform::Buttons::YesNo,
                                  Platform::Icon::Question)
        != Platform::Answer::Yes)
        return;
    // Only the link goes; the file stays in the Images folder.
    rs.remove();
    rs.moveNext();
    if (rs.eof() && rs.recordCount() > 0) rs.movePrevious();
    m_ctx.main->showCurrentPicture();
}

void ImageCatalogue::mnuFileEditTitle_Click()
{
    if (!pictureShown()) return;
    const auto answer = m_ctx.platform.inputBox(QStringLiteral("Please enter the new title for the current image."),
                                                QStringLiteral("New Image Title"), QString());
    if (!answer || answer->isEmpty()) return;
    db::Recordset& rs = m_ctx.state.rsImages;
    rs.edit();
    rs.setField(QStringLiteral("Title"), *answer);
    rs.update();
    m_ctx.main->setPictureTitle(*answer);
}

void ImageCatalogue::dropFiles(const QStringList& files)
{
    if (!speciesShown()) return;
    const QString folder = imagesFolder();
    for (const QString& file : files) {
        if (!isPictureFile(file)) continue;
        const auto title = askTitle();
        if (!title) continue;
        const QString name =
            liesDirectlyIn(file, folder) ? QFileInfo(file).fileName() : copyUnderFreeName(file, folder);
        linkImage(name, *title);
    }
}

void registerImageCommands(Context& ctx)
{
    auto catalogue = std::make_shared<ImageCatalogue>(ctx);
    CommandRegistry& c = ctx.main->commands();
    c.setHandler(QStringLiteral("mnuFileImage"), [catalogue] { catalogue->mnuFileImage_Click(); });
    c.setHandler(QStringLiteral("mnuFileImageDelete"), [catalogue] { catalogue->mnuFileImageDelete_Click(); });
    c.setHandler(QStringLiteral("mnuFileEditTitle"), [catalogue] { catalogue->mnuFileEditTitle_Click(); });
    ctx.main->setPictureDropHandler([catalogue](const QStringList& files) { catalogue->dropFiles(files); });
}

} // namespace fl

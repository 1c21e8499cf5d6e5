#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace fl {

struct Context;

// The pictures of the species on show: adding a picture file of the Images folder, removing
// the current picture's link and retitling it, and taking picture files dropped on the
// picture area.
class ImageCatalogue {
public:
    explicit ImageCatalogue(Context& ctx);

    void mnuFileImage_Click();
    void mnuFileImageDelete_Click();
    void mnuFileEditTitle_Click();
    // Copies each dropped picture file into the Images folder (unless it lies there already),
    // asks its title and links it to the species on show. Other files are passed over.
    void dropFiles(const QStringList& files);

    // The picture folder of the data folder, in its spelling on disk.
    QString imagesFolder() const;

private:
    bool speciesShown() const;
    bool pictureShown() const;
    // The title of a new picture; nothing when the answer is empty or cancelled.
    std::optional<QString> askTitle();
    // Links `file` of the Images folder to the species on show and shows it.
    void linkImage(const QString& file, const QString& title);

    Context& m_ctx;
};

// Connects the picture commands of the File menu and the picture area's drop handler.
void registerImageCommands(Context& ctx);

} // namespace fl

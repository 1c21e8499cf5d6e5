#include "ImageFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSet>
#include <stdexcept>

namespace fl {

namespace {

QString cleanAbsolute(const QString& path)
{
    return QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(path)).absoluteFilePath());
}

} // namespace

bool liesDirectlyIn(const QString& path, const QString& folder)
{
    const QString file = cleanAbsolute(path);
    const QString name = QFileInfo(file).fileName();
    if (name.isEmpty()) return false;
    const QString expected = cleanAbsolute(folder) + u'/' + name;
    return QString::compare(file, expected, Qt::CaseInsensitive) == 0;
}

bool isPictureFile(const QString& path)
{
    if (!QFileInfo(path).isFile()) return false;
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.canRead();
}

QString copyUnderFreeName(const QString& source, const QString& folder)
{
    QDir dir(folder);
    if (!dir.exists() && !QDir().mkpath(folder))
        throw std::runtime_error("The pictures folder could not be created.");

    QSet<QString> taken;
    for (const QString& entry : dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        taken.insert(entry.toCaseFolded());

    const QFileInfo info(source);
    const QString base = info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    QString name = info.fileName();
    for (int n = 1; taken.contains(name.toCaseFolded()); ++n) name = base + u'-' + QString::number(n) + suffix;

    if (!QFile::copy(source, dir.filePath(name)))
        throw std::runtime_error("The picture could not be copied into the pictures folder.");
    return name;
}

} // namespace fl

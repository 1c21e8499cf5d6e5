#include "CdDisc.h"

#include "state/AppFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cdio/cdio.h>
#include <cdio/logging.h>

namespace fl {

namespace {

CdIo_t* cdio(void* handle) { return static_cast<CdIo_t*>(handle); }

// libcdio reports a missing drive or an unreadable sheet on stderr; the program's own
// replies already say so.
void quietLibrary()
{
    static const bool done = [] {
        cdio_loglevel_default = CDIO_LOG_ERROR;
        return true;
    }();
    (void)done;
}

} // namespace

int CdToc::trackAt(int sector) const
{
    int track = 0;
    for (size_t i = 0; i < starts.size(); ++i)
        if (sector >= starts[i]) track = firstTrack + int(i);
    return track;
}

CdDisc::CdDisc(void* handle, bool drive, QString device) : m_handle(handle), m_drive(drive), m_device(std::move(device))
{
}

CdDisc::~CdDisc() { cdio_destroy(cdio(m_handle)); }

std::unique_ptr<CdDisc> CdDisc::openDrive()
{
    quietLibrary();
    char** devices = cdio_get_devices(DRIVER_DEVICE);
    if (!devices) return nullptr;
    std::unique_ptr<CdDisc> disc;
    for (char** d = devices; *d && !disc; ++d) {
        if (CdIo_t* p = cdio_open(*d, DRIVER_DEVICE))
            disc.reset(new CdDisc(p, true, QString::fromLocal8Bit(*d)));
    }
    cdio_free_device_list(devices);
    return disc;
}

std::unique_ptr<CdDisc> CdDisc::openImage(const QString& folder)
{
    QDir dir(folder);
    if (!dir.exists()) return nullptr;
    const QStringList sheets = dir.entryList({QStringLiteral("*.cue"), QStringLiteral("*.CUE"), QStringLiteral("*.Cue")},
                                             QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& sheet : sheets)
        if (auto disc = openCue(dir.filePath(sheet))) return disc;
    return nullptr;
}

std::unique_ptr<CdDisc> CdDisc::openCue(const QString& cueFile)
{
    quietLibrary();
    if (CdIo_t* p = cdio_open_cue(QFile::encodeName(cueFile).constData()))
        return std::unique_ptr<CdDisc>(new CdDisc(p, false, cueFile));

    // libcdio reads the BIN file named like the sheet; a sheet may name another one. Then
    // both are presented under one name in a folder of our own.
    QFile sheet(cueFile);
    if (!sheet.open(QIODevice::ReadOnly)) return nullptr;
    QString text = QString::fromLocal8Bit(sheet.readAll());
    static const QRegularExpression fileLine(QStringLiteral("^\\s*FILE\\s+\"([^\"]+)\"(.*)$"),
                                             QRegularExpression::MultilineOption
                                                 | QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = fileLine.match(text);
    if (!m.hasMatch()) return nullptr;
    const QString bin = resolvePath(QFileInfo(cueFile).absolutePath(), m.captured(1));
    if (!QFileInfo(bin).isFile()) return nullptr;
    auto alias = std::make_unique<QTemporaryDir>();
    if (!alias->isValid()) return nullptr;
    text.replace(m.capturedStart(1), m.capturedLength(1), QStringLiteral("disc.bin"));
    QFile copy(alias->filePath(QStringLiteral("disc.cue")));
    if (!copy.open(QIODevice::WriteOnly) || copy.write(text.toLocal8Bit()) < 0) return nullptr;
    copy.close();
    if (!QFile::link(QFileInfo(bin).absoluteFilePath(), alias->filePath(QStringLiteral("disc.bin")))) return nullptr;
    CdIo_t* p = cdio_open_cue(QFile::encodeName(copy.fileName()).constData());
    if (!p) return nullptr;
    std::unique_ptr<CdDisc> disc(new CdDisc(p, false, cueFile));
    disc->m_alias = std::move(alias);
    return disc;
}

void CdDisc::readToc()
{
    CdToc toc;
    CdIo_t* p = cdio(m_handle);
    const track_t first = cdio_get_first_track_num(p);
    const track_t count = cdio_get_num_tracks(p);
    if (first != CDIO_INVALID_TRACK && count != CDIO_INVALID_TRACK && count > 0) {
        toc.firstTrack = first;
        for (int t = first; t < first + count; ++t) {
            const lsn_t lsn = cdio_get_track_lsn(p, track_t(t));
            if (lsn == CDIO_INVALID_LSN) {
                toc.starts.clear();
                break;
            }
            toc.starts.push_back(int(lsn));
        }
        const lsn_t leadout = cdio_get_track_lsn(p, CDIO_CDROM_LEADOUT_TRACK);
        if (leadout == CDIO_INVALID_LSN) toc.starts.clear();
        else toc.leadout = int(leadout);
    }
    m_toc = toc;
    m_tocRead = true;
}

CdToc CdDisc::toc()
{
    std::lock_guard lock(m_mutex);
    if (!m_tocRead || (m_drive && cdio_get_media_changed(cdio(m_handle)) == 1)) readToc();
    return m_toc;
}

bool CdDisc::readAudio(int sector, int count, char* buffer)
{
    std::lock_guard lock(m_mutex);
    return cdio_read_audio_sectors(cdio(m_handle), buffer, lsn_t(sector), uint32_t(count)) == DRIVER_OP_SUCCESS;
}

void CdDisc::openDoor()
{
    if (!m_drive) return;
    std::lock_guard lock(m_mutex);
    cdio_eject_media_drive(QFile::encodeName(m_device).constData());
    m_tocRead = false;
}

void CdDisc::closeDoor()
{
    if (!m_drive) return;
    std::lock_guard lock(m_mutex);
    driver_id_t driver = DRIVER_DEVICE;
    cdio_close_tray(QFile::encodeName(m_device).constData(), &driver);
    m_tocRead = false;
}

} // namespace fl

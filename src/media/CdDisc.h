#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <mutex>
#include <vector>

namespace fl {

// The table of contents of an audio disc, in sectors (1/75 s) from the start of the disc.
struct CdToc {
    int firstTrack = 0;
    std::vector<int> starts; // start sector of tracks firstTrack, firstTrack + 1, ...
    int leadout = 0;         // the first sector after the last track

    bool empty() const { return starts.empty(); }
    int lastTrack() const { return firstTrack + int(starts.size()) - 1; }
    bool hasTrack(int track) const { return track >= firstTrack && track <= lastTrack(); }
    int start(int track) const { return starts[size_t(track - firstTrack)]; }
    int end(int track) const { return track < lastTrack() ? start(track + 1) : leadout; }
    // The track that holds `sector`, or 0 before the first track.
    int trackAt(int sector) const;
};

// An audio disc read through libcdio: the disc in the computer's CD drive, or a disc image
// (a CUE sheet with its BIN file). Sectors may be read from another thread than the one
// that asks for the table of contents.
class CdDisc {
public:
    static constexpr int SectorBytes = 2352; // 588 stereo frames of 16-bit samples
    static constexpr int SectorFrames = 588;

    ~CdDisc();
    CdDisc(const CdDisc&) = delete;
    CdDisc& operator=(const CdDisc&) = delete;

    // The computer's first CD drive, or nothing when it has none.
    static std::unique_ptr<CdDisc> openDrive();
    // The first CUE sheet in `folder` that can be read, or nothing.
    static std::unique_ptr<CdDisc> openImage(const QString& folder);
    static std::unique_ptr<CdDisc> openCue(const QString& cueFile);

    bool isDrive() const { return m_drive; }
    // The disc's contents; empty while the drive holds no audio disc. A drive is asked
    // again when its disc has changed.
    CdToc toc();
    // Reads `count` audio sectors from `sector` into `buffer` (count * SectorBytes bytes,
    // 16-bit little-endian stereo samples).
    bool readAudio(int sector, int count, char* buffer);
    void openDoor();
    void closeDoor();

private:
    CdDisc(void* handle, bool drive, QString device);
    void readToc();

    void* m_handle; // CdIo_t
    bool m_drive;
    QString m_device;
    std::mutex m_mutex;
    CdToc m_toc;
    bool m_tocRead = false;
    // For a sheet whose BIN file has another name: the sheet and the file under one name.
    std::unique_ptr<QTemporaryDir> m_alias;
};

} // namespace fl

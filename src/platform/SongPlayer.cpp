#include "SongPlayer.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>

namespace fl {

SongPlayer::SongPlayer(std::function<void()> defaultSound, std::function<bool()> hasAudioOutput)
    : m_defaultSound(std::move(defaultSound)), m_hasAudioOutput(std::move(hasAudioOutput))
{
    if (!m_hasAudioOutput) m_hasAudioOutput = [] { return !QMediaDevices::audioOutputs().isEmpty(); };
}

SongPlayer::~SongPlayer()
{
    if (m_player) {
        QObject::disconnect(m_player.get(), nullptr, nullptr, nullptr);
        m_player->stop();
    }
}

void SongPlayer::fail() noexcept
{
    if (m_failed) return;
    m_failed = true;
    try {
        if (m_player) m_player->stop();
        if (m_defaultSound) m_defaultSound();
    } catch (...) {
        // Not even the default sound: the song stays silent, and nothing else is wrong.
    }
}

void SongPlayer::play(const QString& path)
{
    stop();
    m_failed = false;
    if (!QFileInfo(path).isFile() || !m_hasAudioOutput()) {
        fail();
        return;
    }
    if (!m_player) {
        m_output = std::make_unique<QAudioOutput>(QMediaDevices::defaultAudioOutput());
        m_player = std::make_unique<QMediaPlayer>();
        m_player->setAudioOutput(m_output.get());
        QObject::connect(m_player.get(), &QMediaPlayer::errorOccurred, m_player.get(),
                         [this](QMediaPlayer::Error error, const QString&) noexcept {
                             if (error != QMediaPlayer::NoError) fail();
                         });
        QObject::connect(m_player.get(), &QMediaPlayer::mediaStatusChanged, m_player.get(),
                         [this](QMediaPlayer::MediaStatus status) noexcept {
                             if (status == QMediaPlayer::InvalidMedia) fail();
                         });
    }
    m_output->setDevice(QMediaDevices::defaultAudioOutput());
    m_player->setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    if (!m_failed) m_player->play();
}

void SongPlayer::stop()
{
    if (!m_player) return;
    m_player->stop();
    // Let go of the file, so that a later play of the same name reads it afresh.
    m_player->setSource(QUrl());
}

bool SongPlayer::isPlaying() const
{
    return m_player && m_player->playbackState() == QMediaPlayer::PlayingState;
}

} // namespace fl

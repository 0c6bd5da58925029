#include "sound/SoundPlayer.h"

#include <QApplication>
#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace {

// One sound effect, made with the player and kept for the run.
class WaveSoundPlayer final : public SoundPlayer
{
public:
    WaveSoundPlayer()
    {
        QObject::connect(&m_sound, &QSoundEffect::statusChanged, [this] { beepIfFailed(); });
        QObject::connect(&m_sound, &QSoundEffect::playingChanged, [this] {
            if (m_sound.isPlaying())
                m_playWanted = false;
        });
    }

    // The sound loads and plays in the background; a failure that only
    // shows there still ends in the beep.
    void play(const QString &wavePath) override
    {
        if (!QFileInfo(wavePath).isFile() || QMediaDevices::defaultAudioOutput().isNull()) {
            QApplication::beep();
            return;
        }
        // A file that failed once is read again: it may have been mended.
        const QUrl source = QUrl::fromLocalFile(wavePath);
        if (m_sound.status() == QSoundEffect::Error)
            m_sound.setSource(QUrl());
        if (m_sound.source() != source)
            m_sound.setSource(source);
        m_playWanted = true;
        m_sound.play();
        beepIfFailed();
    }

private:
    void beepIfFailed()
    {
        if (m_playWanted && m_sound.status() == QSoundEffect::Error) {
            m_playWanted = false;
            QApplication::beep();
        }
    }

    QSoundEffect m_sound;
    // A play was asked for and has neither started nor failed yet.
    bool m_playWanted = false;
};

} // namespace

extern "C" Q_DECL_EXPORT SoundPlayer *kladdoCreateSoundPlayer()
{
    return new WaveSoundPlayer;
}

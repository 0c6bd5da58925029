#include "sound/SoundPlayer.h"

#include <QDir>
#include <QFileInfo>

#include <windows.h>

#include <mmsystem.h>

namespace {

// Windows' own player: it reads the file and plays it in the background
// without any library of Qt's, and knows every wave format the system does.
class WinmmSoundPlayer final : public SoundPlayer
{
public:
    void play(const QString &wavePath) override
    {
        const QString nativePath = QDir::toNativeSeparators(QFileInfo(wavePath).absoluteFilePath());
        // Without SND_NODEFAULT a missing file would play the system's
        // default sound and still count as played.
        const bool started = QFileInfo(wavePath).isFile()
                             && PlaySoundW(reinterpret_cast<LPCWSTR>(nativePath.utf16()), nullptr,
                                           SND_ASYNC | SND_FILENAME | SND_NODEFAULT);
        if (!started)
            MessageBeep(MB_OK);
    }
};

} // namespace

extern "C" Q_DECL_EXPORT SoundPlayer *kladdoCreateSoundPlayer()
{
    return new WinmmSoundPlayer;
}

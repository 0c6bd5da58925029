#pragma once

#include <QString>

// Plays the alarm sound. The player lives in a module of its own that the
// program loads at the first alarm, not at start: the sound system's
// libraries weigh more than the rest of the program, and most runs never
// sound an alarm.
class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;

    // Plays the wave file once, in the background; the system beep when
    // the file is missing, there is no audio output or it cannot be played.
    virtual void play(const QString &wavePath) = 0;
};

// The module's one entry, under this name: a new player for the caller.
using CreateSoundPlayer = SoundPlayer *();
inline constexpr char kCreateSoundPlayer[] = "kladdoCreateSoundPlayer";

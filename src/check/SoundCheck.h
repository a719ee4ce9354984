#pragma once

#include "check/CheckReport.h"

#include "audio/SoundFile.h"

#include <string>

// Checks the world's sounds: the sound file (res/snd/sounds.ini), and that
// every sound and piece of music it names (or the game's own, for what it
// leaves out) is there and decodes to the end. A world without res/snd/ is
// silent, and has nothing to check.
class SoundCheck {
public:
    explicit SoundCheck(CheckReport& report);
    void run();

    // Reads a whole sound file as the game would, no longer than `longest`
    // seconds; "" when it is good, else what is wrong, in a few words.
    static std::string problemWith(const std::string& path, unsigned* rate = nullptr,
                                   unsigned long long* frames = nullptr,
                                   double longest = SoundFile::longestMusic);

private:
    CheckReport& report;
};

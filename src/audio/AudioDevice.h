#pragma once

#include <string>

// The audio device, opened and closed around the whole game. Opening it
// says nothing on standard error however it goes (the sound libraries'
// own complaints are kept back): the caller says what matters in one line.
class AudioDevice {
public:
    AudioDevice() = delete;

    // Opens the device; false (and why, a few words) when there is none.
    static bool open(std::string& why);
    // Lets it go once nothing plays any more.
    static void close();
    static bool isOpen();
    // How much sound the device has played since it opened, in
    // milliseconds, by its own clock; negative when it cannot tell.
    static double clock();

    // A sound file the game may read: an ordinary file inside res/.
    static bool readable(const std::string& path);
};

#pragma once

#include <string>

// The settings the shell starts the game with and the settings screen
// changes (window scale, fullscreen, the goal line), read from and kept in
// the settings file, and applied to the window at once.
class ShellSettings {
public:
    ShellSettings() = delete;

    // Reads the settings file. Returns "" or the one line to tell the player
    // (a file that cannot be read leaves every setting at its default).
    static std::string load();
    // Writes the settings file; a failure shows a notice and returns false.
    static bool keep();

    static int scale(); // -1: fill the screen; 0: what suits the screen; else 1 to 8
    static bool fullscreen();
    static bool goalLine();
    static void setScale(int scale);
    static void setFullscreen(bool on);
    static void setGoalLine(bool on);

    // The largest whole-number scale at which the window fits the desktop.
    static int largestScale();
    // The whole scale the window takes in a window: scale(), or the automatic one.
    static unsigned windowScale();
    // Whether the picture fills the window (or the screen) as chosen now.
    static bool fills();
    // Gives a window (not a fullscreen one) the size of the chosen scale,
    // in the middle of the desktop (filling: 90 % of it); the picture then
    // fits the window, whole or filling, fullscreen too.
    static void applyWindow();
    // Fullscreen or not, as chosen, then the window's size.
    static void applyVideo();

    // The settings screen's "Text size" row (normal, large; WindowText),
    // added once.
    static void addTextSizeEntry();

    // What the settings screen shows: "automatic (2x)", "fill the screen", "3x".
    static std::string describeScale();
    // What automatic is on this screen: "automatic (2x)", "automatic (fill the screen)".
    static std::string describeAutomatic();
};

#pragma once

#include "screens/SettingsScreen.h"

#include <string>
#include <vector>

class PictureDigest;

// The first minute's guide: over the world, a small panel with the keys of
// walking, talking and the menu, written in the keys (or pad buttons) bound
// now. Each line goes for good once its action is used; the settings file
// keeps which are gone, and the settings screen brings them all back.
// It is the picture's, not the story's: replays and saves know nothing of it.
class KeyHints {
public:
    KeyHints() = delete;

    enum class Hint { Walk, Talk, Menu };
    static constexpr int count = 3;

    // Off by default (the tests' worlds show none); the shell turns it on.
    static bool enabled;
    // The shell's start: on, unless TARNWICK_KEY_HINTS=0 in the environment
    // (for the end-to-end tests that count the tiles walked by the world
    // scrolling, under a panel that stands still).
    static void start();

    // The hint is still to be shown (not used yet, as the settings have it).
    static bool pending(Hint hint);
    // Its action was used: the hint goes, and the settings file keeps that.
    static void used(Hint hint);
    // Every hint shown again (kept when the settings are next written).
    static void showAgain();

    // Once a step in the world: a hint whose action went down goes.
    static void update();

    // The hint's line in the keys bound now: "Arrow keys: walk"; with `pad`,
    // in the pad's buttons: "D-pad: walk".
    static std::string line(Hint hint, bool pad);
    // Whether the lines name the pad's buttons: it was used last, or one is
    // plugged in and no key has been pressed since the game started.
    static bool padShown();
    // The lines shown now, in order; none while hints are off.
    static std::vector<std::string> lines();

    // Draws the panel in picture coordinates, low on the left, clear of the
    // goal line and the room's name above and of the conversation's panel
    // below; nothing when no hint is left.
    static void draw();
    static void addToPictureDigest(PictureDigest& digest);

    // The settings screen's row: "Key hints: shown", "Key hints: off".
    static SettingsScreen::Entry entry();

    static constexpr unsigned characterSize = 12;
    static constexpr float bottom = 366; // above the conversation's panel
};

#pragma once

#include <optional>
#include <string>

// How fast a conversation's pages type themselves out, letter by letter: a
// setting of the player's ([text] speed in the settings file), a row of the
// settings screen, and part of what a recording needs to be replayed alike.
//
// The speeds, at the game's 60 steps a second:
//   slow     half a letter a step (30 letters a second, about as fast as one
//            reads aloud: the page keeps pace with the reader)
//   normal   a letter a step (60 a second: a two-line page in under three
//            seconds, ahead of most readers; the player's default)
//   fast     three letters a step (180 a second: a page in under a second)
//   instant  the whole page at once, as pages were always shown
class TextSpeed {
public:
    TextSpeed() = delete;

    enum class Speed { Slow, Normal, Fast, Instant };

    // The speed in force. Until load() has read the settings it is instant,
    // so that whatever never reads them (the checker, the tests) sees pages
    // whole, as before.
    static Speed current;
    static constexpr Speed playerDefault = Speed::Normal;

    // Half-letters a step; 0 for instant (the page shows whole at once).
    static int halfLettersPerStep(Speed speed);
    // Its word in the settings file and in recordings: "slow" ... "instant".
    static const char* name(Speed speed);
    static std::optional<Speed> parse(const std::string& word);

    // The speed from the settings store (read already), or from the variable
    // below when it names one: the tests' scripts start the game with pages
    // shown at once unless a test asks for a speed.
    static void load();
    static constexpr const char* environmentVariable = "TARNWICK_TEXT_SPEED";
    // The settings screen's row, added once.
    static void addSettingsEntry();
    // The next or previous speed (round), kept in the settings store.
    static void adjust(int step);
    // The row as it reads: "Text speed: normal".
    static std::string label();
};

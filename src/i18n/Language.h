#pragma once

#include <functional>
#include <string>
#include <vector>

// Which language the game speaks. By default the one the desktop asks for,
// read as gettext reads it: the list in LANGUAGE ("de_AT:de:fr"), then the
// first of LC_ALL, LC_MESSAGES and LANG that is set. A locale of "C" or
// "POSIX" asks for English (and LANGUAGE is not read, as gettext does), and
// so does an English entry in the list: English is what the game is written
// in, so nothing after it is needed. Unlike gettext, LANGUAGE is read when no
// locale is set at all: a player who sets only LANGUAGE means it.
class Language {
public:
    Language() = delete;

    // The setting that follows the environment.
    static constexpr const char* automatic = "auto";

    // The languages to look catalogues up for, most wanted first; empty for
    // English. `get` reads an environment variable (null when unset).
    static std::vector<std::string> fromEnvironment(const std::function<const char*(const char*)>& get);
    // The same for this process's environment.
    static std::vector<std::string> fromEnvironment();
    // A locale's names, most precise first: "de_DE.UTF-8@euro" gives
    // de_DE@euro, de_DE, de@euro, de (the character set is left out).
    static std::vector<std::string> variants(const std::string& locale);
    // What a setting asks for: automatic() follows the environment, "en" is
    // English, anything else that language.
    static std::vector<std::string> wanted(const std::string& setting);
    // Uses the setting's languages (Catalogue::use).
    static void apply(const std::string& setting);

    // The setting kept in the settings file ([language] language = auto).
    static std::string setting();
    // Moves the setting `step` choices on (wrapping round), keeps it in the
    // store (Settings) and uses it at once.
    static void step(int step);
    // Recordings and their replays play in English whatever the setting, so
    // that a recording made in one language verifies in any other.
    static bool englishOnly;

    // The setting's choices: automatic, English, then every language a
    // catalogue is found for, except the pseudo-language the tests use.
    static std::vector<std::string> choices();
    // A language's name in itself ("Deutsch"); the code when it is not known.
    static std::string ownName(const std::string& code);
    // The pseudo-language's code: never offered to players.
    static constexpr const char* pseudo = "qps";
};

#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

// The player's settings, kept between runs in an INI file:
//
//   # comments start with # or ;
//   [video]
//   scale = 2
//   fullscreen = false
//
// Everything is read from and written to the store here; the parts of the
// game that own a setting ask for it with their own default, so a missing or
// unknown entry is never an error. A file that cannot be read as a whole
// (not a regular file, too large, not text, a line that is neither a section,
// an entry nor a comment) gives the defaults: load() says so in one line and
// the next save() keeps the unreadable file beside the new one as
// "settings.ini.broken".
class Settings {
public:
    Settings() = delete;

    // $XDG_CONFIG_HOME/tarnwick/settings.ini (by default ~/.config/tarnwick/).
    static std::filesystem::path file();
    // Reads file() into the store. Returns "" when it was read or does not
    // exist, else one line (without the program's name) to show the player.
    // Never throws.
    static std::string load();
    // Reads settings from text, as load() reads the file; "" or what is wrong.
    static std::string parse(const std::string& text);
    // The store as the file's text.
    static std::string text();
    // Writes the store to file() atomically. On failure returns false and
    // says why in `why`; the old file is left as it was.
    static bool save(std::string* why = nullptr);

    static std::string get(const std::string& section, const std::string& key, const std::string& fallback = "");
    // A whole number from lo to hi; anything else gives the fallback.
    static int getInt(const std::string& section, const std::string& key, int fallback, int lo, int hi);
    // true/false, yes/no, on/off or 1/0; anything else gives the fallback.
    static bool getBool(const std::string& section, const std::string& key, bool fallback);

    static void set(const std::string& section, const std::string& key, const std::string& value);
    static void setInt(const std::string& section, const std::string& key, int value);
    static void setBool(const std::string& section, const std::string& key, bool value);
    static void remove(const std::string& section, const std::string& key);
    // The keys of a section, in the order of the file.
    static std::vector<std::string> keys(const std::string& section);
    // Forgets everything: all defaults.
    static void clear();

    // Larger than any settings file a person writes.
    static constexpr std::size_t maxBytes = 64 * 1024;

private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> entries;
    };
    static std::vector<Section> _sections;
    static bool _broken; // the file on disk could not be read

    static Section* find(const std::string& section);
    static const std::string* lookup(const std::string& section, const std::string& key);
};

#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <vector>

// The endings the player has reached so far, kept between runs beside the
// saved game ($XDG_DATA_HOME/tarnwick/endings.txt) in a file of its own, so
// that starting a new game or losing the save never forgets them:
//
//   # Endings reached in Tarnwick, one number a line
//   1
//   3
//
// An ending is its number in the story (1 to maxEnding). A file that cannot
// be read as a whole counts as no endings: the constructor says so in one
// line on stderr, and the next record() keeps the unreadable file beside the
// new one as "endings.txt.broken".
class EndingsFile {
public:
    // The file in the game's data folder, where the save is kept.
    EndingsFile();
    // The file in `folder` (which need not exist yet).
    explicit EndingsFile(const std::filesystem::path& folder);

    // The game's data folder: $XDG_DATA_HOME/tarnwick.
    static std::filesystem::path defaultFolder();
    const std::filesystem::path& file() const { return _file; }

    // Remembers that `ending` was reached and writes the file at once
    // (atomically). Returns whether the ending is new. When the file cannot be
    // written the ending still counts for this run, and `why` (when given)
    // says in a few words what went wrong; it is left empty on success.
    bool record(int ending, std::string* why = nullptr);
    // How many different endings were reached, and which, in order.
    std::size_t count() const { return _endings.size(); }
    std::vector<int> list() const { return {_endings.begin(), _endings.end()}; }
    bool reached(int ending) const { return _endings.count(ending) != 0; }

    // Reads the file's text; "" when it is whole, else what is wrong with it.
    static std::string parse(const std::string& text, std::set<int>& endings);
    // The file's text for a set of endings.
    static std::string text(const std::set<int>& endings);

    static constexpr int maxEnding = 99;
    // Far larger than any real file.
    static constexpr std::size_t maxBytes = 4 * 1024;

private:
    void load();

    std::filesystem::path _file;
    std::set<int> _endings;
    bool _broken = false;  // the file on disk could not be read
    bool _unsaved = false; // the last write failed
};

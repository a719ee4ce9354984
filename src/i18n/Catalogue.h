#pragma once

#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

// Every string a player reads, in the player's language. The game's own
// interface strings are marked where they are written: tr("Space") or, where
// the same English means two things, trc("key", "Space"); the world's pages,
// answers, goal lines, endings and room names are looked up by their English
// when they are shown. tools/make-pot.py collects them all into
// po/tarnwick.pot for translators.
//
// Translations are gettext catalogues (.mo, compiled with msgfmt). For each
// language wanted, most wanted first, the world's own catalogue
// (<world>/po/<language>.mo) comes before the game's
// (<folder>/<language>/LC_MESSAGES/tarnwick.mo); a string no catalogue
// translates stays English, line by line. With no language (the default) the
// English is returned as it is.
class Catalogue {
public:
    Catalogue() = delete;

    static std::string text(const char* english);
    static std::string text(const char* context, const char* english);
    // A world's string; `context` as tools/make-pot.py writes it ("goal line",
    // "ending", "room"), or none for pages and answers.
    static std::string world(const std::string& english, const char* context = nullptr);

    // Where catalogues are: folders laid out as gettext's (an installation's
    // share/locale, the build's locale/), and the world's own po/ folder.
    static void setFolders(std::vector<std::string> gameFolders, std::string worldFolder);
    // Uses these languages, most wanted first ("de_DE", "de"); none: English.
    // A catalogue that cannot be read is left out, with a line on stderr.
    static void use(const std::vector<std::string>& languages);
    // Translations held in memory, looked up before any file: the checker
    // reads them from a .po file. Keys are (context, English); "" for none.
    using Table = std::map<std::pair<std::string, std::string>, std::string>;
    static void useTable(Table table);
    // The languages in use, as given to use().
    static const std::vector<std::string>& languages();
    // Every language with a catalogue in the folders, sorted.
    static std::vector<std::string> available();
    // Counts every change of language: what shows a translation compares it
    // with the count it was made at, and translates again when it differs.
    static unsigned generation();
};

inline std::string tr(const char* english)
{
    return Catalogue::text(english);
}

inline std::string trc(const char* context, const char* english)
{
    return Catalogue::text(context, english);
}

// Marks English kept in a table for translators; where it is shown, it is
// looked up with Catalogue::text(row.label) (or with its context).
constexpr const char* N_(const char* english)
{
    return english;
}

constexpr const char* NC_(const char* /*context*/, const char* english)
{
    return english;
}

// A translated sentence with its placeholders filled in, so that translators
// may reorder them: fill(tr("Ending {number} of {total}"), {{"number", "2"},
// {"total", "3"}}). A placeholder given no value is left as it is, and what
// a value holds is never read as a placeholder.
inline std::string fill(const std::string& text, std::initializer_list<std::pair<const char*, std::string>> values)
{
    std::string out;
    std::size_t at = 0;
    for (std::size_t open = text.find('{'); open != std::string::npos; open = text.find('{', at)) {
        const std::size_t close = text.find('}', open);
        if (close == std::string::npos)
            break;
        const std::string name = text.substr(open + 1, close - open - 1);
        out.append(text, at, open - at);
        at = close + 1;
        bool known = false;
        for (const auto& value : values) {
            if (name == value.first) {
                out += value.second;
                known = true;
                break;
            }
        }
        if (!known)
            out.append(text, open, at - open);
    }
    return out.append(text, at, std::string::npos);
}

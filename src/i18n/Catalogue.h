#pragma once

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

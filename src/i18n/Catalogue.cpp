#include "i18n/Catalogue.h"

#include <boost/locale/gnu_gettext.hpp>
#include <boost/locale/message.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <locale>
#include <set>

namespace fs = std::filesystem;

namespace {

using Facet = boost::locale::message_format<char>;

struct State {
    std::vector<std::string> gameFolders;
    std::string worldFolder;
    std::vector<std::string> languages;
    // Most wanted first; a facet lives as long as a locale holds it.
    std::vector<std::locale> catalogues;
    Catalogue::Table table;
    unsigned generation = 0;
};

State& state()
{
    static State s;
    return s;
}

// Far larger than any game's catalogue: a larger file is not read.
constexpr std::uintmax_t mostBytes = 32u << 20;

std::vector<char> readCatalogue(const fs::path& file)
{
    std::error_code error;
    if (!fs::is_regular_file(file, error) || fs::file_size(file, error) > mostBytes || error)
        return {};
    std::ifstream in(file, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// One .mo file in a locale of its own; false when it is missing or unreadable.
bool load(const fs::path& file, std::vector<std::locale>& into)
{
    std::vector<char> bytes = readCatalogue(file);
    if (bytes.empty())
        return false;
    boost::locale::gnu_gettext::messages_info info;
    // Boost looks for <path>/<language>/LC_MESSAGES/tarnwick.mo; the file is
    // handed over whatever it asks for, so only `file` is ever read.
    info.language = "xx";
    info.encoding = "UTF-8";
    info.paths.push_back(".");
    info.domains.push_back(boost::locale::gnu_gettext::messages_info::domain("tarnwick"));
    info.callback = [&bytes](const std::string&, const std::string&) { return bytes; };
    try {
        into.emplace_back(std::locale::classic(), boost::locale::gnu_gettext::create_messages_facet<char>(info));
        return true;
    } catch (const std::exception& e) {
        std::cerr << "tarnwick: " << file.string() << ": not a catalogue the game can read (" << e.what()
                  << "); its strings stay in English\n";
        return false;
    }
}

void reload()
{
    State& s = state();
    s.catalogues.clear();
    for (const std::string& language : s.languages) {
        // A name from the environment or the settings file names a language,
        // never a way out of the catalogues' folders.
        if (language.empty() || language[0] == '.' || language.find('/') != std::string::npos)
            continue;
        std::vector<fs::path> files;
        if (!s.worldFolder.empty())
            files.push_back(fs::path(s.worldFolder) / (language + ".mo"));
        for (const std::string& folder : s.gameFolders)
            files.push_back(fs::path(folder) / language / "LC_MESSAGES" / "tarnwick.mo");
        for (const fs::path& file : files)
            load(file, s.catalogues);
    }
    ++s.generation;
}

std::string lookUp(const char* context, const std::string& english)
{
    const State& s = state();
    if (english.empty())
        return english; // the empty string names a catalogue's header
    if (!s.table.empty()) {
        const auto found = s.table.find({context ? context : "", english});
        if (found != s.table.end() && !found->second.empty())
            return found->second;
    }
    for (const std::locale& catalogue : s.catalogues)
        if (const char* translated = std::use_facet<Facet>(catalogue).get(0, context, english.c_str()))
            return translated;
    return english;
}

} // namespace

std::string Catalogue::text(const char* english)
{
    return lookUp(nullptr, english);
}

std::string Catalogue::text(const char* context, const char* english)
{
    return lookUp(context, english);
}

std::string Catalogue::world(const std::string& english, const char* context)
{
    return lookUp(context, english);
}

void Catalogue::setFolders(std::vector<std::string> gameFolders, std::string worldFolder)
{
    state().gameFolders = std::move(gameFolders);
    state().worldFolder = std::move(worldFolder);
    reload();
}

void Catalogue::use(const std::vector<std::string>& languages)
{
    state().languages = languages;
    reload();
}

void Catalogue::useTable(Table table)
{
    state().table = std::move(table);
    ++state().generation;
}

const std::vector<std::string>& Catalogue::languages()
{
    return state().languages;
}

std::vector<std::string> Catalogue::available()
{
    std::set<std::string> found;
    std::error_code error;
    const State& s = state();
    if (!s.worldFolder.empty())
        for (const auto& entry : fs::directory_iterator(s.worldFolder, error))
            if (entry.path().extension() == ".mo" && entry.is_regular_file(error))
                found.insert(entry.path().stem().string());
    for (const std::string& folder : s.gameFolders)
        for (const auto& entry : fs::directory_iterator(folder, error))
            if (fs::is_regular_file(entry.path() / "LC_MESSAGES" / "tarnwick.mo", error))
                found.insert(entry.path().filename().string());
    return {found.begin(), found.end()};
}

unsigned Catalogue::generation()
{
    return state().generation;
}

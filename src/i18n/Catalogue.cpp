#include "i18n/Catalogue.h"

#include <boost/locale/gnu_gettext.hpp>
#include <boost/locale/message.hpp>

#include <algorithm>
#include <cstdint>
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

// Whether `bytes` hold a compiled catalogue whose every table and string lies
// inside them, each string ending in its NUL: the library reads the strings
// as C strings, trusting the file, so a damaged one would be read past its end.
bool wellFormed(const std::vector<char>& bytes)
{
    const std::size_t size = bytes.size();
    if (size < 28)
        return false;
    const auto byte = [&](std::size_t at) { return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])); };
    const bool little = byte(0) == 0xde && byte(1) == 0x12 && byte(2) == 0x04 && byte(3) == 0x95;
    const bool big = byte(0) == 0x95 && byte(1) == 0x04 && byte(2) == 0x12 && byte(3) == 0xde;
    if (!little && !big)
        return false;
    const auto word = [&](std::uint64_t at) -> std::uint64_t {
        if (at + 4 > size)
            return ~std::uint64_t(0);
        return little ? byte(at) | byte(at + 1) << 8 | byte(at + 2) << 16 | byte(at + 3) << 24
                      : byte(at + 3) | byte(at + 2) << 8 | byte(at + 1) << 16 | byte(at) << 24;
    };
    const std::uint64_t count = word(8), originals = word(12), translations = word(16);
    const std::uint64_t hashSize = word(20), hashes = word(24);
    if (originals + 8 * count > size || translations + 8 * count > size)
        return false;
    for (const std::uint64_t table : {originals, translations})
        for (std::uint64_t i = 0; i < count; ++i) {
            const std::uint64_t length = word(table + 8 * i), offset = word(table + 8 * i + 4);
            if (offset + length >= size || bytes[offset + length] != '\0')
                return false;
        }
    if (hashSize != 0) {
        if (hashes + 4 * hashSize > size)
            return false;
        for (std::uint64_t i = 0; i < hashSize; ++i)
            if (word(hashes + 4 * i) > count)
                return false;
    }
    return true;
}

// One .mo file in a locale of its own; false when it is missing or unreadable.
bool load(const fs::path& file, std::vector<std::locale>& into)
{
    std::vector<char> bytes = readCatalogue(file);
    if (bytes.empty())
        return false;
    if (!wellFormed(bytes)) {
        std::cerr << "tarnwick: " << file.string()
                  << ": not a catalogue the game can read (damaged); its strings stay in English\n";
        return false;
    }
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
    for (const std::locale& catalogue : s.catalogues) {
        // A damaged catalogue (offsets past its end, a broken hash table) is
        // read lazily and throws on the string that reaches the damage: that
        // string stays English, the game goes on.
        try {
            if (const char* translated = std::use_facet<Facet>(catalogue).get(0, context, english.c_str()))
                return translated;
        } catch (const std::exception&) {
        }
    }
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

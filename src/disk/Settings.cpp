#include "disk/Settings.h"

#include "disk/AtomicFile.h"
#include "disk/SmallTextFile.h"
#include "disk/XdgDirs.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/stat.h>

std::vector<Settings::Section> Settings::_sections;
bool Settings::_broken = false;

namespace {
std::string trim(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return "";
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}
}

std::filesystem::path Settings::file()
{
    return XdgDirs::configHome() / "tarnwick" / "settings.ini";
}

std::string Settings::parse(const std::string& text)
{
    std::vector<Section> sections;
    if (text.find('\0') != std::string::npos)
        return "it is not text";
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        line = trim(line);
        if (line.empty() || line[0] == '#' || line[0] == ';')
            continue;
        if (line.front() == '[') {
            // A section needs a name: "[ ]" would be written back as no
            // header at all, its entries joining the section before it.
            const std::string name = line.back() == ']' ? trim(line.substr(1, line.size() - 2)) : "";
            if (name.empty())
                return "line " + std::to_string(number) + " is not a [section]";
            sections.push_back({name, {}});
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string::npos || equals == 0)
            return "line " + std::to_string(number) + " is not 'name = value'";
        if (sections.empty())
            sections.push_back({"", {}});
        auto& entries = sections.back().entries;
        const std::string key = trim(line.substr(0, equals));
        const std::string value = trim(line.substr(equals + 1));
        // A key given twice: the last one counts, as people editing by hand expect.
        auto same = std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return e.first == key; });
        if (same != entries.end())
            same->second = value;
        else
            entries.emplace_back(key, value);
    }
    _sections = std::move(sections);
    return "";
}

std::string Settings::load()
{
    clear();
    _broken = false;
    const std::filesystem::path path = file();
    std::string text, problem;
    switch (SmallTextFile::read(path, maxBytes, text, problem)) {
    case SmallTextFile::Result::missing:
        return ""; // no settings yet: the defaults
    case SmallTextFile::Result::read:
        problem = parse(text);
        break;
    case SmallTextFile::Result::refused:
        break;
    }
    if (problem.empty())
        return "";
    clear();
    _broken = true;
    return path.string() + ": " + problem + "; using the default settings";
}

std::string Settings::text()
{
    std::string out;
    for (const Section& section : _sections) {
        if (section.entries.empty())
            continue;
        if (!out.empty())
            out += '\n';
        if (!section.name.empty())
            out += '[' + section.name + "]\n";
        for (const auto& [key, value] : section.entries)
            out += key + " = " + value + '\n';
    }
    return out;
}

bool Settings::save(std::string* why)
{
    const std::filesystem::path path = file();
    if (_broken) {
        // Keep what the player wrote by hand; it may be worth mending.
        std::error_code error;
        std::filesystem::rename(path, path.string() + ".broken", error);
        _broken = false;
    }
    return AtomicFile::write(path, text(), why);
}

Settings::Section* Settings::find(const std::string& section)
{
    for (Section& s : _sections)
        if (s.name == section)
            return &s;
    return nullptr;
}

const std::string* Settings::lookup(const std::string& section, const std::string& key)
{
    const Section* s = find(section);
    if (!s)
        return nullptr;
    for (const auto& [k, v] : s->entries)
        if (k == key)
            return &v;
    return nullptr;
}

std::string Settings::get(const std::string& section, const std::string& key, const std::string& fallback)
{
    const std::string* value = lookup(section, key);
    return value ? *value : fallback;
}

int Settings::getInt(const std::string& section, const std::string& key, int fallback, int lo, int hi)
{
    const std::string* value = lookup(section, key);
    if (!value || value->empty())
        return fallback;
    try {
        std::size_t used = 0;
        const long long n = std::stoll(*value, &used);
        if (used != value->size() || n < lo || n > hi)
            return fallback;
        return static_cast<int>(n);
    } catch (const std::exception&) {
        return fallback;
    }
}

bool Settings::getBool(const std::string& section, const std::string& key, bool fallback)
{
    const std::string* value = lookup(section, key);
    if (!value)
        return fallback;
    const std::string v = lower(*value);
    if (v == "true" || v == "yes" || v == "on" || v == "1")
        return true;
    if (v == "false" || v == "no" || v == "off" || v == "0")
        return false;
    return fallback;
}

void Settings::set(const std::string& section, const std::string& key, const std::string& value)
{
    Section* s = find(section);
    if (!s) {
        _sections.push_back({section, {}});
        s = &_sections.back();
    }
    for (auto& [k, v] : s->entries) {
        if (k == key) {
            v = value;
            return;
        }
    }
    s->entries.emplace_back(key, value);
}

void Settings::setInt(const std::string& section, const std::string& key, int value)
{
    set(section, key, std::to_string(value));
}

void Settings::setBool(const std::string& section, const std::string& key, bool value)
{
    set(section, key, value ? "true" : "false");
}

void Settings::remove(const std::string& section, const std::string& key)
{
    if (Section* s = find(section))
        s->entries.erase(std::remove_if(s->entries.begin(), s->entries.end(),
                                        [&](const auto& e) { return e.first == key; }),
                         s->entries.end());
}

std::vector<std::string> Settings::keys(const std::string& section)
{
    std::vector<std::string> out;
    if (const Section* s = find(section))
        for (const auto& entry : s->entries)
            out.push_back(entry.first);
    return out;
}

void Settings::clear()
{
    _sections.clear();
}

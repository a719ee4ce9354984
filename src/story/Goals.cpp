#include "story/Goals.h"

#include "i18n/Catalogue.h"
#include "resources/ResourceFile.h"

#include <boost/property_tree/ini_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <algorithm>
#include <functional>
#include <set>
#include <sstream>

namespace pt = boost::property_tree;

const char* const Goals::file = "res/txt/goals.ini";
const char* const Goals::situationKeys[3] = {"livery", "table", "report"};

namespace {

const std::set<std::string> placeholders = {"wanted", "worn", "missing"};

std::string partSection(int part)
{
    return "part" + std::to_string(part);
}

// Calls `with` for every {name} in `text`, with the name and its position;
// returns false when a brace is left open.
bool forEachPlaceholder(const std::string& text,
                        const std::function<void(const std::string&, std::size_t, std::size_t)>& with)
{
    std::size_t from = 0;
    while (true) {
        const std::size_t open = text.find('{', from);
        if (open == std::string::npos)
            return true;
        const std::size_t close = text.find('}', open);
        if (close == std::string::npos)
            return false;
        with(text.substr(open + 1, close - open - 1), open, close + 1);
        from = close + 1;
    }
}

// How an author finds an entry in the file: "start", "[part0] livery".
std::string entryName(const std::string& section, const std::string& key)
{
    return section.empty() ? key : "[" + section + "] " + key;
}

std::string checked(const pt::ptree& root, const std::string& section, const std::string& key,
                    const std::string& path)
{
    const std::string name = entryName(section, key);
    const pt::ptree* within = section.empty() ? &root : nullptr;
    if (!within) {
        const auto found = root.find(section);
        within = found == root.not_found() ? nullptr : &found->second;
    }
    const auto entry = within ? within->find(key) : root.not_found();
    if (!within || entry == within->not_found())
        throw pt::ptree_bad_path(path + ": missing entry", pt::ptree::path_type(name, '\0'));
    const std::string& value = entry->second.data();
    if (value.empty())
        throw pt::ptree_bad_data(path + ": " + name + " is empty", name);
    const bool closed = forEachPlaceholder(value, [&](const std::string& placeholder, std::size_t, std::size_t) {
        if (!placeholders.count(placeholder))
            throw pt::ptree_bad_data(path + ": " + name + ": unknown placeholder {" + placeholder
                                         + "} (known: {wanted}, {worn}, {missing})",
                                     placeholder);
    });
    if (!closed)
        throw pt::ptree_bad_data(path + ": " + name + ": a '{' without its '}'", name);
    return value;
}

} // namespace

Goals Goals::load(const std::string& path)
{
    std::istringstream text(ResourceFile::read(path));
    pt::ptree root;
    try {
        pt::read_ini(text, root);
    } catch (const pt::ini_parser_error& e) {
        throw pt::ini_parser_error(e.message(), path, e.line());
    }

    // Anything the game would never show is most likely a misspelt entry.
    for (const auto& entry : root) {
        const std::string& key = entry.first;
        bool known = key == "start" || key == "endings";
        for (int p = 0; p < partCount; ++p)
            known = known || key == partSection(p);
        if (!known)
            throw pt::ptree_bad_data(path + ": unknown entry " + (entry.second.empty() ? key : "[" + key + "]"), key);
        if (key.compare(0, 4, "part") != 0)
            continue;
        for (const auto& inner : entry.second) {
            if (std::find(std::begin(situationKeys), std::end(situationKeys), inner.first)
                == std::end(situationKeys))
                throw pt::ptree_bad_data(path + ": unknown entry " + entryName(key, inner.first), inner.first);
        }
    }

    Goals goals;
    goals.start = checked(root, "", "start", path);
    for (int p = 0; p < partCount; ++p)
        for (int s = 0; s < 3; ++s)
            goals.parts[p][s] = checked(root, partSection(p), situationKeys[s], path);

    if (const auto endings = root.get_child_optional("endings")) {
        for (const auto& entry : *endings) {
            const std::string& key = entry.first;
            const bool number = !key.empty() && key.size() <= 3
                                && std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; });
            if (!number || std::stoi(key) < 1)
                throw pt::ptree_bad_data(path + ": " + entryName("endings", key) + ": endings are numbered from 1", key);
            goals.endings[std::stoi(key)] = entry.second.data();
        }
    }
    return goals;
}

Goals::Situation Goals::situation(int part, int disguise, int defacedTables)
{
    if (defacedTables > part)
        return Report;
    return disguise > part ? Table : Livery;
}

std::string Goals::line(int part, int disguise, int defacedTables) const
{
    if (part < -1 || part >= partCount)
        return std::string();
    // Before the story begins, the counts are those of its first part.
    const std::string& english = part == -1 ? start : parts[part][situation(part, disguise, defacedTables)];
    // A translation whose placeholders the game does not know would show a
    // wrong count: the English is shown instead.
    std::string text = Catalogue::world(english, "goal line");
    bool known = true;
    if (!forEachPlaceholder(text, [&known](const std::string& name, std::size_t, std::size_t) {
            known = known && placeholders.count(name) > 0;
        }) || !known)
        text = english;
    const long long wanted = std::max(part, 0) + 1LL;
    const long long missing = std::max(0LL, wanted - disguise);

    std::string out;
    std::size_t copied = 0;
    forEachPlaceholder(text, [&](const std::string& name, std::size_t begin, std::size_t end) {
        out.append(text, copied, begin - copied);
        out += std::to_string(name == "wanted" ? wanted : name == "worn" ? disguise : missing);
        copied = end;
    });
    out.append(text, copied, std::string::npos);
    return out;
}

std::string Goals::ending(int choice) const
{
    const auto found = endings.find(choice);
    return found == endings.end() ? std::string() : Catalogue::world(found->second, "ending");
}

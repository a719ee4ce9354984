#include "audio/SoundSet.h"

#include "resources/ResourceFile.h"

#include <boost/property_tree/ini_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace pt = boost::property_tree;

const char* const SoundSet::file = "res/snd/sounds.ini";
const char* const SoundSet::folder = "res/snd/";
const char* const SoundSet::cueKeys[cueCount] = {"step",   "bump",    "open",  "close", "voice",
                                                 "answer", "livery",  "warden", "scratch", "paint",
                                                 "ink",    "report",  "sting"};

namespace {

bool number(const std::string& text, float& value)
{
    std::istringstream in(text);
    in >> value;
    return in && (in >> std::ws).eof();
}

} // namespace

SoundSet::SoundSet()
{
    effects = {{{"step-1.wav", "step-2.wav"},
                {"bump.wav"},
                {"open.wav"},
                {"close.wav"},
                {"voice.wav"},
                {"answer.wav"},
                {"livery.ogg"},
                {"warden.ogg"},
                {"scratch.ogg"},
                {"paint.ogg"},
                {"ink.ogg"},
                {"report.ogg"},
                {"sting.ogg"}}};
    guildhall = {"guildhall-0.ogg", "guildhall-1.ogg", "guildhall-2.ogg", "guildhall-3.ogg", "guildhall-4.ogg"};
    title = "title.ogg";
    // Mr. Stoat low and smooth, the warden lower still, the staff brighter;
    // tables and everything else speak in the narrator's voice.
    voices = {{"boss", 0.8f}, {"warden", 0.66f}, {"victim", 1.15f}, {"table", 0.95f}, {"player", 1.f}};
}

float SoundSet::voiceOf(const std::string& type, float own) const
{
    if (own >= lowestVoice && own <= highestVoice)
        return own;
    const auto found = voices.find(type);
    return found == voices.end() ? 1.f : found->second;
}

std::vector<std::string> SoundSet::files() const
{
    std::vector<std::string> all;
    auto add = [&all](const std::string& name) {
        if (!name.empty() && std::find(all.begin(), all.end(), name) == all.end())
            all.push_back(name);
    };
    for (const auto& list : effects)
        for (const std::string& name : list)
            add(name);
    for (const std::string& name : guildhall)
        add(name);
    add(title);
    return all;
}

SoundSet SoundSet::load(const std::string& path, std::vector<std::string>* problems)
{
    SoundSet set;
    auto problem = [&](const std::string& what) {
        if (problems)
            problems->push_back(path + ": " + what);
    };
    std::error_code error;
    if (!std::filesystem::exists(path, error))
        return set;
    pt::ptree root;
    try {
        std::istringstream text(ResourceFile::read(path));
        pt::read_ini(text, root);
    } catch (const pt::ini_parser_error& e) {
        problem("line " + std::to_string(e.line()) + ": " + e.message() + "; the game's own sounds are used");
        return set;
    } catch (const std::exception& e) {
        problem(std::string(e.what()) + "; the game's own sounds are used");
        return set;
    }

    for (const auto& [section, entries] : root) {
        if (section != "effects" && section != "music" && section != "voices") {
            problem("unknown entry " + (entries.empty() ? section : "[" + section + "]")
                    + ": the sections are [effects], [music] and [voices]");
            continue;
        }
        for (const auto& [key, value] : entries) {
            const std::vector<std::string> names = ResourceFile::words(value.data());
            const std::string entry = "[" + section + "] " + key;
            if (section == "effects") {
                const auto* known = std::find(std::begin(cueKeys), std::end(cueKeys), key);
                if (known == std::end(cueKeys))
                    problem("unknown entry " + entry);
                else if (names.empty())
                    problem(entry + " names no file");
                else
                    set.effects[static_cast<std::size_t>(known - std::begin(cueKeys))] = names;
            } else if (section == "music") {
                if (key != "guildhall" && key != "title")
                    problem("unknown entry " + entry + ": the pieces are guildhall and title");
                else if (names.empty() || (key == "title" && names.size() != 1))
                    problem(entry + (names.empty() ? " names no file" : " names more than one file"));
                else if (key == "guildhall")
                    set.guildhall = names;
                else
                    set.title = names.front();
            } else {
                float pitch = 0;
                if (!number(value.data(), pitch) || pitch < lowestVoice || pitch > highestVoice)
                    problem(entry + " is \"" + value.data() + "\": a voice's pitch is a number from 0.25 to 4 "
                                                               "(1 is the recorded pitch)");
                else
                    set.voices[key] = pitch;
            }
        }
    }
    return set;
}

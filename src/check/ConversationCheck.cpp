#include "check/ConversationCheck.h"

#include "dialogue/DialogueBox.h"
#include "render/WindowText.h"

#include "dialogueformat/DialogueTree.h"
#include "resources/ResourceFile.h"
#include "resources/Utf8.h"
#include "story/CastFiles.h"

#include <boost/property_tree/exceptions.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;
namespace pt = boost::property_tree;

namespace {

std::string inQuotes(const std::string& text)
{
    return "\"" + text + "\"";
}

// The line of `raw` where `page` (or its first line) is written, 0 when it
// cannot be found (entities written differently, for instance).
unsigned long lineOf(const std::string& raw, const std::string& page)
{
    std::string probe = page.substr(0, page.find('\n'));
    if (probe.size() > 40)
        probe.resize(40);
    if (probe.empty())
        return 0;
    const auto at = raw.find(probe);
    if (at == std::string::npos)
        return 0;
    return 1 + static_cast<unsigned long>(std::count(raw.begin(), raw.begin() + static_cast<long>(at), '\n'));
}

std::string shortened(const std::string& text)
{
    const std::string line = text.substr(0, text.find('\n'));
    if (line.size() <= 40)
        return line;
    std::size_t cut = 37; // never inside a character's bytes
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0u) == 0x80u)
        --cut;
    return line.substr(0, cut) + "...";
}

} // namespace

ConversationCheck::ConversationCheck(CheckReport& report, const MapCheck& map)
    : report(report)
    , map(map)
{
}

bool ConversationCheck::loadFont(const std::string& path)
{
    measuring = ResourceFile::isRegular(path) && font.load(path);
    return measuring;
}

sf::Vector2f ConversationCheck::measure(const std::string& page, bool large)
{
    const DialogueBox::Layout panel = DialogueBox::layout(large);
    const auto width = [&](const std::string& line) {
        const sf::FloatRect box = font.bounds(Utf8::toSfString(line), panel.characterSize);
        return box.left + box.width;
    };
    const std::string wrapped = WindowText::wrap(page, panel.wrapWidth, width);
    const sf::FloatRect box = font.bounds(Utf8::toSfString(wrapped), panel.characterSize);
    return {box.left + box.width, box.top + box.height};
}

void ConversationCheck::fits(const std::string& text, const std::string& file, const std::string& what,
                             unsigned long line, const std::string& remedy)
{
    for (const bool large : {false, true}) {
        const DialogueBox::Layout panel = DialogueBox::layout(large);
        const sf::Vector2f size = measure(text, large);
        const std::string at = large ? " at the large text size" : "";
        const auto px = [](float v) { return std::to_string(static_cast<int>(v + 0.5f)); };
        if (size.x > panel.wrapWidth) {
            report.warning(file, what + " has a word too long for a line: " + px(size.x) + " pixels wide" + at
                                     + "; the panel's lines are " + px(panel.wrapWidth)
                                     + ": shorten it or break it with a space",
                           line);
            return;
        }
        if (size.y > panel.height) {
            report.warning(file, what + " is " + px(size.y) + " pixels high with the speaker's name" + at
                                     + "; the panel shows " + px(panel.height) + ": " + remedy,
                           line);
            return;
        }
    }
}

std::string ConversationCheck::speaker(const std::string& file) const
{
    const auto found = speakerOf.find(file);
    if (found != speakerOf.end() && !found->second.empty())
        return found->second;
    std::string longest;
    for (const auto& [path, name] : speakerOf)
        if (name.size() > longest.size())
            longest = name;
    return longest;
}

void ConversationCheck::need(const std::string& path, const std::string& why)
{
    needed.emplace(path, why);
}

void ConversationCheck::run()
{
    // What the map's characters read of their own, and what the map names.
    std::string longest;
    for (const MapCheck::Speaker& s : map.speakers)
        if (s.name.size() > longest.size())
            longest = s.name;
    for (const CastFiles::Kind* kind : CastFiles::kinds()) {
        const auto found = map.counts.find(kind->type);
        if (found == map.counts.end() || found->second == 0)
            continue;
        const std::string who = "every " + kind->type + " reads it";
        // Files a world may leave out (its characters then say nothing there): checked when present.
        for (const CastFiles::Files* files : kind->lists())
            for (const std::string& path : files->paths()) {
                std::error_code error;
                if (files->required || fs::exists(fs::status(path, error)))
                    need(path, who);
            }
    }
    for (const MapCheck::Speaker& s : map.speakers) {
        const std::string who = s.type + " " + inQuotes(s.name) + " (" + s.where + ")";
        if (const CastFiles::Kind* kind = CastFiles::find(s.type))
            for (const std::string& path : kind->conversations.paths()) {
                std::string& name = speakerOf[path];
                if (s.name.size() > name.size())
                    name = s.name;
            }
        if (s.dialogue.empty())
            continue;
        std::vector<std::string> files{CastFiles::named(s.dialogue)};
        if (const CastFiles::Kind* kind = CastFiles::find(s.type); kind && !kind->asking.empty())
            files.insert(files.begin(), CastFiles::named(s.dialogue, kind->asking));
        for (const std::string& path : files) {
            if (!ResourceFile::insideResources(path)) {
                report.error(s.file, who + " names the conversation " + inQuotes(s.dialogue) + ", but "
                                         + inQuotes(path) + " lies outside res/: name a file in res/txt/");
                continue;
            }
            need(path, who + " says it");
            if (s.name.size() > speakerOf[path].size())
                speakerOf[path] = s.name;
        }
    }

    std::set<std::string> files;
    for (const auto& [path, why] : needed) {
        std::error_code error;
        const auto status = fs::status(path, error);
        if (!fs::exists(status))
            report.error(path, "missing; " + why + ": write it or correct the name");
        else
            files.insert(path);
    }
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("res/txt", error)) {
        const std::string path = "res/txt/" + entry.path().filename().string();
        if (entry.path().extension() != ".xml" || files.count(path))
            continue;
        files.insert(path);
        if (map.readable)
            report.warning(path, "no one on the map says it: name it in a tile's \"dialogue\", or remove it");
    }

    for (const std::string& path : files) {
        if (!ResourceFile::isRegular(path)) {
            report.error(path, "not a regular file: put the conversation there");
            continue;
        }
        std::string raw;
        std::unique_ptr<DialogueTree> tree;
        try {
            raw = ResourceFile::read(path);
            tree.reset(DialogueTree::load(path));
        } catch (const pt::file_parser_error& e) {
            report.error(path, e.message() + ": correct the XML there", e.line());
            continue;
        } catch (const pt::ptree_error& e) {
            std::string what = e.what();
            if (what.compare(0, path.size() + 2, path + ": ") == 0)
                what = what.substr(path.size() + 2);
            report.error(path, what + ": a conversation is <dialogue><text><l>...</l></text></dialogue>, with "
                                      "<options> and <responses> when it asks something");
            continue;
        }
        const auto speaker = speakerOf.find(path);
        checkTree(*tree, path, speaker == speakerOf.end() || speaker->second.empty() ? longest : speaker->second,
                  raw);
    }
}

void ConversationCheck::checkTree(const DialogueTree& tree, const std::string& file, const std::string& speaker,
                                  const std::string& raw)
{
    checkNode(tree, file, "", speaker, raw);
}

void ConversationCheck::checkNode(const DialogueTree& node, const std::string& file, const std::string& where,
                                  const std::string& speaker, const std::string& raw)
{
    const std::string at = where.empty() ? "" : "after " + where + ": ";
    if (node.text.empty())
        report.warning(file, at + "a node without pages shows only the speaker's name: give it a line");
    for (const std::string& page : node.text) {
        const unsigned long line = lineOf(raw, page);
        if (page.empty()) {
            report.warning(file, at + "an empty page: remove it or write something", line);
            continue;
        }
        if (std::isspace(static_cast<unsigned char>(page.front()))
            || std::isspace(static_cast<unsigned char>(page.back())))
            report.warning(file, at + "the page " + inQuotes(shortened(page))
                                     + " starts or ends with blank space, which the panel shows: keep the text "
                                       "right against its tags",
                           line);
        if (!measuring)
            continue;
        fits(speaker + "\n\n" + page, file, at + "the page " + inQuotes(shortened(page)), line,
             "split it into two pages");
    }
    if (node.options.empty())
        return;

    const unsigned long line = lineOf(raw, node.options.front());
    std::size_t choosable = 0;
    for (std::size_t i = 0; i < node.options.size() && i < 3; ++i) {
        if (i < node.responses.size())
            ++choosable;
        else
            report.warning(file, at + "answer " + std::to_string(i + 1) + " " + inQuotes(shortened(node.options[i]))
                                     + " has no response, so choosing it does nothing: add a response for it",
                           line);
    }
    if (choosable == 0)
        report.error(file, at + "none of the answers has a response, so the conversation can never end: add a "
                                "<responses> entry for each answer",
                     line);
    if (node.options.size() > 3)
        report.warning(file, at + "the node offers " + std::to_string(node.options.size())
                                 + " answers; only the first three can be chosen (keys 1 to 3): keep three",
                       line);
    if (measuring) {
        std::string list = speaker + "\n\n";
        for (std::size_t i = 0; i < node.options.size(); ++i)
            list += " " + std::to_string(i + 1) + ". " + node.options[i] + "\n\n";
        fits(list, file, at + "the answers", line, "shorten them");
    }
    for (std::size_t i = 0; i < node.responses.size() && i < node.options.size() && i < 3; ++i)
        checkNode(node.responses[i], file, where + (where.empty() ? "" : ", ") + "answer " + std::to_string(i + 1),
                  speaker, raw);
}

#pragma once

#include "check/CheckReport.h"
#include "check/MapCheck.h"

#include "check/TextMeasure.h"
#include "dialogue/DialogueBox.h"

#include <SFML/System/Vector2.hpp>

#include <map>
#include <set>
#include <string>

class DialogueTree;

// Checks the conversations: every file the map and the characters need is
// there, inside res/txt/ and well formed; no node is a dead end; only three
// answers can be chosen and each has a response; and every page and answer
// list fits the dialogue panel at both text sizes, wrapped and measured with
// the game's own font and the longest name of anyone who speaks the file.
class ConversationCheck {
public:
    ConversationCheck(CheckReport& report, const MapCheck& map);

    void run();

    // False when the font cannot be read; then nothing is measured.
    bool loadFont(const std::string& path);
    // The size of `text` as the panel draws it at a text size (normal or
    // large), its words wrapped to the panel's lines: right and bottom edges.
    // Pages are measured as the panel shows them: the speaker's name, an
    // empty line, then the page.
    sf::Vector2f measure(const std::string& text, bool large = false);

    // The name the panel shows above the pages of `file`: the longest that
    // says it, or the longest of anyone when no one is known to.
    std::string speaker(const std::string& file) const;
    bool measures() const { return measuring; }

    // Checks one conversation as `speaker` (the longest name that says it)
    // would show it; `raw` is the file's text, for line numbers.
    void checkTree(const DialogueTree& tree, const std::string& file, const std::string& speaker,
                   const std::string& raw);

private:
    // Warns when `text` does not fit the panel at either text size.
    void fits(const std::string& text, const std::string& file, const std::string& what, unsigned long line,
              const std::string& remedy);
    void need(const std::string& path, const std::string& why);
    void checkNode(const DialogueTree& node, const std::string& file, const std::string& where,
                   const std::string& speaker, const std::string& raw);

    CheckReport& report;
    const MapCheck& map;
    TextMeasure font;
    bool measuring = false;
    std::map<std::string, std::string> needed;      // file -> who needs it
    std::map<std::string, std::string> speakerOf;   // file -> the longest name that says it
};

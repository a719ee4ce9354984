#pragma once

#include "check/CheckReport.h"

#include <string>

class ConversationCheck;

// The world's translations, po/<language>.po beside res/: for each language
// how many strings are translated, fuzzy and missing (against the template
// po/tarnwick.pot when there is one), every placeholder ({wanted}) a
// translation loses or adds, and every translated page or goal line too
// large for its panel or strip, measured with the story's font.
class TranslationCheck {
public:
    TranslationCheck(CheckReport& report, ConversationCheck& conversations);

    // Checks every po/*.po of the working folder.
    void run();
    // Checks one catalogue; `file` names it in the report, `language` in
    // the summary line.
    void checkCatalogue(const std::string& file, const std::string& language, const std::string& text,
                        const std::string& templateText);

private:
    CheckReport& report;
    ConversationCheck& conversations;
};

#pragma once

#include "check/CheckReport.h"
#include "check/TextMeasure.h"

#include <string>

// The texts a player reads are written in UTF-8 and drawn with the story's
// font: every conversation (res/txt/*.xml) and the goal file are read line by
// line. A line that is not valid UTF-8 is an error (the game shows boxes
// there); a character the font has no glyph for is a warning (it shows as the
// font's empty box).
class TextCheck {
public:
    explicit TextCheck(CheckReport& report);

    // Checks the shipped texts, looking characters up in the font at
    // `fontFile` (only their encoding when the font cannot be read).
    void run(const std::string& fontFile);

    // Checks one file's bytes; `file` names it in the report.
    void checkText(const std::string& file, const std::string& text);

private:
    void checkLine(const std::string& file, const std::string& line, unsigned long number);

    CheckReport& report;
    TextMeasure font;
    bool lookingUp = false;
};

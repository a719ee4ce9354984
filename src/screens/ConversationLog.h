#pragma once

#include "screens/OverlayScreen.h"

#include <string>
#include <vector>

class LogBook;

// The conversations of this game, from the pause menu: each speaker's name,
// the pages shown and the answers chosen, oldest first, opened at the newest.
// Up and Down (or the pad's d-pad and stick, or the walking keys) scroll a
// line, Page Up and Page Down (the pad's shoulders) a panel, Home and End to
// either end, the mouse wheel three lines a notch; Escape or the pad's back
// closes it.
class ConversationLog : public OverlayScreen {
public:
    ConversationLog(GameState* previous, const LogBook* log);

    void update() override;
    void draw() override;
    // The first line shown and the lines themselves: the log stands still
    // until it scrolls.
    bool addToPictureDigest(PictureDigest& digest) const override;

    struct Row {
        enum class Kind { Speaker, Page, Answer, Note } kind = Kind::Page;
        std::string text;
    };
    std::vector<Row> rows; // the log's lines as wrapped on the panel
    int top = 0;           // the first row shown

    // Moves by `by` rows, within the log.
    void scroll(int by);
    int lastTop() const;

    // The player's text size: 12 and 21 rows of 17 at the normal size, a
    // quarter larger (and fewer rows) at the large one.
    const unsigned textSize;
    const float rowHeight;
    const int rowsShown;
    static constexpr int wheelRows = 3;
    // A held key scrolls on after this many steps, a row every `repeatSteps`.
    static constexpr int repeatAfter = 20;
    static constexpr int repeatSteps = 3;

private:
    int held = 0; // steps a scrolling key has been held
};

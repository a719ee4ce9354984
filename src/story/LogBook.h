#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

// The conversations of this game, oldest first, as the player saw them: who
// spoke, each page shown and each answer chosen, in order. The saved game
// keeps it (SeenSoFar); the story's state and the replay's digest know
// nothing of it.
//
// It keeps the most recent conversations only, up to `maxBytes` of their
// text as the save writes it (64 KiB, a sixty-fourth of the largest save the
// game reads; the shipped story's shortest route writes about 5 KiB): when a
// new page or answer goes past it, the oldest conversations go first, and a
// single conversation longer than that loses its first lines.
class LogBook {
public:
    struct Line {
        bool answer = false; // an answer chosen; else a page shown
        std::string text;
        bool operator==(const Line& o) const { return answer == o.answer && text == o.text; }
    };
    struct Conversation {
        std::string speaker;
        std::vector<Line> lines;
        bool operator==(const Conversation& o) const { return speaker == o.speaker && lines == o.lines; }
    };

    // A conversation opens with `speaker`; its pages and answers follow.
    void begin(const std::string& speaker);
    void page(const std::string& text);
    void answer(const std::string& text);

    const std::deque<Conversation>& conversations() const { return kept; }
    // What the save writes for it, roughly: each line's text and a few bytes.
    std::size_t bytes() const { return size; }
    bool operator==(const LogBook& other) const { return kept == other.kept; }

    static constexpr std::size_t maxBytes = 64 * 1024;
    // What a line costs besides its text (its key, the separator, the end).
    static constexpr std::size_t lineCost = 10;

private:
    void add(bool answer, const std::string& text);
    void trim();

    std::deque<Conversation> kept;
    std::size_t size = 0;
};

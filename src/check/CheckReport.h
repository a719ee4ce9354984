#pragma once

#include <ostream>
#include <string>
#include <vector>

// The problems a check finds, one line each:
//   file[:line]: error|warning: what, and what to do
// An error stops the game from starting or the story from being finished; a
// warning is worth fixing but the game can be played.
class CheckReport {
public:
    enum class Level { error, warning };

    struct Problem {
        Level level;
        std::string file;
        unsigned long line; // 0 when the problem has no one line
        std::string message;

        std::string text() const;
    };

    void error(const std::string& file, const std::string& message, unsigned long line = 0);
    void warning(const std::string& file, const std::string& message, unsigned long line = 0);
    // A line that is no problem: what the check found out.
    void note(const std::string& text);

    int errors() const;
    int warnings() const;
    // Every problem in the order found, then the notes.
    void print(std::ostream& out) const;

    std::vector<Problem> problems;
    std::vector<std::string> notes;
};

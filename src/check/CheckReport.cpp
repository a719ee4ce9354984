#include "check/CheckReport.h"

#include <algorithm>

std::string CheckReport::Problem::text() const
{
    return file + (line ? ":" + std::to_string(line) : std::string()) + ": "
           + (level == Level::error ? "error: " : "warning: ") + message;
}

void CheckReport::error(const std::string& file, const std::string& message, unsigned long line)
{
    problems.push_back({Level::error, file, line, message});
}

void CheckReport::warning(const std::string& file, const std::string& message, unsigned long line)
{
    problems.push_back({Level::warning, file, line, message});
}

void CheckReport::note(const std::string& text)
{
    notes.push_back(text);
}

int CheckReport::errors() const
{
    return static_cast<int>(std::count_if(problems.begin(), problems.end(),
                                          [](const Problem& p) { return p.level == Level::error; }));
}

int CheckReport::warnings() const
{
    return static_cast<int>(problems.size()) - errors();
}

void CheckReport::print(std::ostream& out) const
{
    for (const Problem& problem : problems)
        out << problem.text() << '\n';
    for (const std::string& line : notes)
        out << line << '\n';
}

#include "story/LogBook.h"

void LogBook::begin(const std::string& speaker)
{
    kept.push_back(Conversation{speaker, {}});
    size += speaker.size() + lineCost;
    trim();
}

void LogBook::page(const std::string& text)
{
    add(false, text);
}

void LogBook::answer(const std::string& text)
{
    add(true, text);
}

void LogBook::add(bool answer, const std::string& text)
{
    // Pages before any conversation opened (a save edited by hand) still
    // belong to someone.
    if (kept.empty())
        begin("");
    kept.back().lines.push_back(Line{answer, text});
    size += text.size() + lineCost;
    trim();
}

void LogBook::trim()
{
    while (size > maxBytes && kept.size() > 1) {
        const Conversation& oldest = kept.front();
        size -= oldest.speaker.size() + lineCost;
        for (const Line& line : oldest.lines)
            size -= line.text.size() + lineCost;
        kept.pop_front();
    }
    // One conversation alone too long: its first lines go.
    if (size > maxBytes && kept.size() == 1) {
        std::vector<Line>& lines = kept.front().lines;
        std::size_t drop = 0;
        for (; size > maxBytes && drop < lines.size(); ++drop)
            size -= lines[drop].text.size() + lineCost;
        lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(drop));
    }
}

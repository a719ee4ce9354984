#pragma once

#include <initializer_list>
#include <string>
#include <utility>

// The game's own interface strings, marked where they are written:
// tr("Space") or, where the same English means two things, trc("key",
// "Space"). tools/make-pot.py collects every marked string (with the world's
// pages, answers, goal lines and endings) into po/tarnwick.pot for
// translators. Until a language is chosen the English is returned as it is.
class Catalogue {
public:
    Catalogue() = delete;

    static std::string text(const char* english);
    static std::string text(const char* context, const char* english);
};

inline std::string tr(const char* english)
{
    return Catalogue::text(english);
}

inline std::string trc(const char* context, const char* english)
{
    return Catalogue::text(context, english);
}

// Marks English kept in a table for translators; where it is shown, it is
// looked up with Catalogue::text(row.label) (or with its context).
constexpr const char* N_(const char* english)
{
    return english;
}

constexpr const char* NC_(const char* /*context*/, const char* english)
{
    return english;
}

// A translated sentence with its placeholders filled in, so that translators
// may reorder them: fill(tr("Ending {number} of {total}"), {{"number", "2"},
// {"total", "3"}}). A placeholder given no value is left as it is, and what
// a value holds is never read as a placeholder.
inline std::string fill(const std::string& text, std::initializer_list<std::pair<const char*, std::string>> values)
{
    std::string out;
    std::size_t at = 0;
    for (std::size_t open = text.find('{'); open != std::string::npos; open = text.find('{', at)) {
        const std::size_t close = text.find('}', open);
        if (close == std::string::npos)
            break;
        const std::string name = text.substr(open + 1, close - open - 1);
        out.append(text, at, open - at);
        at = close + 1;
        bool known = false;
        for (const auto& value : values) {
            if (name == value.first) {
                out += value.second;
                known = true;
                break;
            }
        }
        if (!known)
            out.append(text, open, at - open);
    }
    return out.append(text, at, std::string::npos);
}

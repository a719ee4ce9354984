#pragma once

#include <string>

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

#pragma once

#include <stdexcept>
#include <string>
#include <vector>

// A gettext catalogue as translators write it (.po, or the template .pot):
// the entries with their contexts, flags and references. The header (the
// entry of the empty English) and obsolete entries (#~) are left out; a
// plural's first form stands for it.
class PoFile {
public:
    struct Entry {
        bool hasContext = false;
        std::string context;
        std::string english;
        std::string translation; // empty: not translated
        bool fuzzy = false;
        unsigned long line = 0; // of its msgid
        std::vector<std::string> references; // "res/txt/a.xml:12"
    };

    // Throws std::runtime_error naming the line when the text is not a catalogue.
    static std::vector<Entry> parse(const std::string& text);
};

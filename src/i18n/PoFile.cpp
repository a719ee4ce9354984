#include "i18n/PoFile.h"

#include <sstream>

namespace {

[[noreturn]] void fail(unsigned long line, const std::string& what)
{
    throw std::runtime_error("line " + std::to_string(line) + ": " + what);
}

// The text of one "..." string, its escapes undone.
std::string unquote(const std::string& s, unsigned long line)
{
    const std::size_t open = s.find('"');
    const std::size_t close = s.rfind('"');
    if (open == std::string::npos || close == open || s.find_first_not_of(" \t", close + 1) != std::string::npos)
        fail(line, "a string in double quotes was expected");
    std::string out;
    for (std::size_t i = open + 1; i < close; ++i) {
        if (s[i] != '\\') {
            out += s[i];
            continue;
        }
        if (++i >= close)
            fail(line, "a backslash ends the string");
        switch (s[i]) {
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        default: out += s[i]; break; // \" and \\ and anything else as itself
        }
    }
    return out;
}

} // namespace

std::vector<PoFile::Entry> PoFile::parse(const std::string& text)
{
    std::vector<Entry> entries;
    Entry current;
    bool started = false;     // a msgid has been read for `current`
    std::string* field = nullptr; // where continued strings go
    std::string ignored;
    const auto finish = [&] {
        if (started && !current.english.empty())
            entries.push_back(current);
        current = Entry();
        started = false;
        field = nullptr;
    };
    std::istringstream in(text);
    std::string line;
    unsigned long number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos) {
            field = nullptr;
            continue;
        }
        line.erase(0, first);
        const auto keyword = [&line](const char* word) {
            const std::string w = word;
            return line.compare(0, w.size(), w) == 0 && line.size() > w.size()
                   && (line[w.size()] == ' ' || line[w.size()] == '\t');
        };
        if (line[0] == '#') {
            if (started)
                finish();
            if (line.compare(0, 2, "#~") == 0) {
                field = nullptr; // obsolete
                continue;
            }
            if (line.compare(0, 2, "#,") == 0 && line.find("fuzzy") != std::string::npos)
                current.fuzzy = true;
            if (line.compare(0, 2, "#:") == 0) {
                std::istringstream refs(line.substr(2));
                for (std::string r; refs >> r;)
                    current.references.push_back(r);
            }
            continue;
        }
        if (line[0] == '"') {
            if (!field)
                fail(number, "a string that continues nothing");
            *field += unquote(line, number);
            continue;
        }
        if (keyword("msgctxt")) {
            if (started)
                finish();
            current.hasContext = true;
            current.context = unquote(line.substr(7), number);
            field = &current.context;
        } else if (keyword("msgid")) {
            if (started)
                finish();
            started = true;
            current.line = number;
            current.english = unquote(line.substr(5), number);
            field = &current.english;
        } else if (keyword("msgid_plural")) {
            ignored = unquote(line.substr(12), number);
            field = &ignored;
        } else if (keyword("msgstr") || line.compare(0, 9, "msgstr[0]") == 0) {
            if (!started)
                fail(number, "msgstr without its msgid");
            current.translation = unquote(line.substr(line[6] == '[' ? 9 : 6), number);
            field = &current.translation;
        } else if (line.compare(0, 7, "msgstr[") == 0) {
            ignored = unquote(line.substr(line.find(']') + 1), number);
            field = &ignored;
        } else {
            fail(number, "neither a keyword, a string nor a comment");
        }
    }
    finish();
    return entries;
}

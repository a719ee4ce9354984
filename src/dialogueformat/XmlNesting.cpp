#include "dialogueformat/XmlNesting.h"

#include <algorithm>
#include <string>

namespace {

// The reader's character classes.
bool isSpace(char c)
{
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

// An element name runs up to white space, '/', '>', '?' or the end.
bool isNameChar(char c)
{
    return c != '\0' && !isSpace(c) && c != '/' && c != '>' && c != '?';
}

// An attribute name also stops at '!', '<' and '='.
bool isAttributeNameChar(char c)
{
    return isNameChar(c) && c != '!' && c != '<' && c != '=';
}

// The value of a digit in a numeric character reference, or -1. The reader
// takes the letters a to f as digits in decimal references too.
int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Compares up to the first difference, so never reads past the text's end.
bool startsWith(const char* p, const char* prefix)
{
    for (; *prefix != '\0'; ++p, ++prefix) {
        if (*p != *prefix)
            return false;
    }
    return true;
}

// Thrown inside the scan to stop it: at a syntax error or too deep.
struct Stop {};

class Scanner {
public:
    Scanner(const std::string& xml, int limit)
        : begin(xml.c_str())
        , p(begin)
        , limit(limit)
    {
    }

    XmlNesting::Measure run()
    {
        try {
            document();
        } catch (const Stop&) {
        }
        return result;
    }

private:
    [[noreturn]] void syntaxError()
    {
        result.wellFormed = false;
        throw Stop();
    }

    void skipSpace()
    {
        while (isSpace(*p))
            ++p;
    }

    // Skips past `terminator`; running out of text is an error.
    void skipPast(const char* terminator)
    {
        while (!startsWith(p, terminator)) {
            if (*p == '\0')
                syntaxError();
            ++p;
        }
        p += std::char_traits<char>::length(terminator);
    }

    // Character data up to `stop` or the end. The reader decodes references
    // as it goes and refuses a numeric one that is out of range or unended.
    void characterData(char stop)
    {
        while (*p != '\0' && *p != stop) {
            if (p[0] != '&' || p[1] != '#') {
                ++p;
                continue;
            }
            const bool hex = p[2] == 'x';
            p += hex ? 3 : 2;
            unsigned long code = 0;
            for (int digit; (digit = digitValue(*p)) >= 0; ++p)
                code = code * (hex ? 16 : 10) + static_cast<unsigned long>(digit);
            if (code >= 0x110000 || *p != ';')
                syntaxError();
            ++p;
        }
    }

    void enter(const char* opening, int level)
    {
        result.depth = std::max(result.depth, level);
        if (level <= limit)
            return;
        result.exceeded = true;
        result.line = 1 + static_cast<unsigned long>(std::count(begin, opening, '\n'));
        throw Stop();
    }

    // After '<': whatever the reader makes of it.
    void node()
    {
        const char* opening = p - 1;
        if (*p == '?') { // the XML declaration or a processing instruction
            ++p;
            skipPast("?>");
            return;
        }
        if (*p == '!') {
            if (p[1] == '-' && p[2] == '-') {
                p += 3;
                skipPast("-->");
            } else if (startsWith(p + 1, "[CDATA[")) {
                p += 8;
                skipPast("]]>");
            } else if (startsWith(p + 1, "DOCTYPE") && isSpace(p[8])) {
                p += 9;
                doctype();
            } else { // any other declaration is skipped up to '>'
                ++p;
                skipPast(">");
            }
            return;
        }

        const char* name = p;
        while (isNameChar(*p))
            ++p;
        if (p == name)
            syntaxError();
        skipSpace();
        while (isAttributeNameChar(*p)) {
            while (isAttributeNameChar(*p))
                ++p;
            skipSpace();
            if (*p != '=')
                syntaxError();
            ++p;
            skipSpace();
            const char quote = *p;
            if (quote != '\'' && quote != '"')
                syntaxError();
            ++p;
            characterData(quote);
            if (*p != quote)
                syntaxError();
            ++p;
            skipSpace();
        }
        if (*p == '/') {
            if (p[1] != '>')
                syntaxError();
            p += 2;
            enter(opening, depth + 1);
        } else if (*p == '>') {
            ++p;
            enter(opening, ++depth);
        } else {
            syntaxError();
        }
    }

    // After "<!DOCTYPE ": up to '>', passing over bracketed parts whole (the
    // reader matches brackets by counting, quotes or not).
    void doctype()
    {
        while (*p != '>') {
            if (*p == '\0')
                syntaxError();
            if (*p++ != '[')
                continue;
            for (int open = 1; open > 0; ++p) {
                if (*p == '\0')
                    syntaxError();
                open += *p == '[' ? 1 : *p == ']' ? -1 : 0;
            }
        }
        ++p;
    }

    void document()
    {
        if (startsWith(p, "\xEF\xBB\xBF"))
            p += 3;
        while (true) {
            if (depth == 0) { // between top-level nodes only white space and markup
                skipSpace();
                if (*p == '\0')
                    return;
                if (*p != '<')
                    syntaxError();
                ++p;
                node();
            } else if (*p == '<' && p[1] == '/') { // an end tag, its name unchecked
                p += 2;
                while (isNameChar(*p))
                    ++p;
                skipSpace();
                if (*p != '>')
                    syntaxError();
                ++p;
                --depth;
            } else if (*p == '<') {
                ++p;
                node();
            } else if (*p == '\0') {
                syntaxError();
            } else {
                characterData('<');
            }
        }
    }

    const char* begin;
    const char* p;
    int limit;
    int depth = 0;
    XmlNesting::Measure result;
};

} // namespace

XmlNesting::Measure XmlNesting::measure(const std::string& xml, int limit)
{
    return Scanner(xml, limit).run();
}

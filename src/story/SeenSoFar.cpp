#include "story/SeenSoFar.h"

namespace {

std::string escaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default: out += c;
        }
    }
    return out;
}

bool unescaped(const std::string& text, std::string& out)
{
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            return false;
        switch (text[i]) {
        case '\\': out += '\\'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        default: return false;
        }
    }
    return true;
}

void line(std::string& out, const char* key, const std::string& value)
{
    out += std::string(key) + " = " + escaped(value) + "\n";
}

} // namespace

std::string SeenSoFar::toText() const
{
    std::string out;
    for (const std::string& room : rooms.names())
        line(out, "room", room);
    for (const LogBook::Conversation& talk : log.conversations()) {
        line(out, "talk", talk.speaker);
        for (const LogBook::Line& said : talk.lines)
            line(out, said.answer ? "answer" : "page", said.text);
    }
    return out;
}

bool SeenSoFar::isKey(const std::string& key)
{
    return key == "room" || key == "talk" || key == "page" || key == "answer";
}

bool SeenSoFar::read(const std::string& key, const std::string& value, std::string* why)
{
    std::string text;
    if (!unescaped(value, text)) {
        if (why)
            *why = "a \"" + key + "\" line has a stray backslash";
        return false;
    }
    if (key == "room") {
        if (rooms.names().size() >= VisitedRooms::maxRooms) {
            if (why)
                *why = "it lists too many rooms";
            return false;
        }
        rooms.visit(text);
    } else if (key == "talk") {
        log.begin(text);
    } else if (key == "page") {
        log.page(text);
    } else {
        log.answer(text);
    }
    return true;
}

#include "mapformat/JsonFile.h"

#include "resources/ResourceFile.h"

#include <boost/property_tree/json_parser.hpp>

#include <cctype>
#include <sstream>

namespace pt = boost::property_tree;

void JsonFile::refuseOversized(const std::string& text, const std::string& path)
{
    // The reader's own view of the document: brackets count only outside
    // strings, and a string ends at the first quote that no backslash escapes.
    // Values are strings that are not keys, numbers, literals and containers.
    int depth = 0;
    long long values = 0;
    unsigned long line = 1;
    const std::size_t n = text.size();
    const auto tooMany = [&] {
        throw pt::json_parser_error("holds more than " + std::to_string(maxValues) + " values", path, line);
    };
    for (std::size_t i = 0; i < n; ++i) {
        const char c = text[i];
        if (c == '\n') {
            ++line;
        } else if (c == '"') {
            for (++i; i < n && text[i] != '"'; ++i) {
                if (text[i] == '\\')
                    ++i;
                if (i < n && text[i] == '\n')
                    ++line;
            }
            std::size_t next = i + 1;
            while (next < n && std::isspace(static_cast<unsigned char>(text[next])))
                ++next;
            if ((next >= n || text[next] != ':') && ++values > maxValues)
                tooMany();
        } else if (c == '[' || c == '{') {
            if (++depth > maxNesting)
                throw pt::json_parser_error("arrays and objects nested more than " + std::to_string(maxNesting)
                                                + " deep",
                                            path, line);
            if (++values > maxValues)
                tooMany();
        } else if (c == ']' || c == '}') {
            if (depth > 0)
                --depth;
        } else if (std::isalnum(static_cast<unsigned char>(c)) || c == '-') {
            while (i + 1 < n
                   && (std::isalnum(static_cast<unsigned char>(text[i + 1])) || text[i + 1] == '.'
                       || text[i + 1] == '-' || text[i + 1] == '+'))
                ++i;
            if (++values > maxValues)
                tooMany();
        }
    }
}

pt::ptree JsonFile::read(const std::string& path)
{
    std::string text;
    try {
        text = ResourceFile::read(path);
    } catch (const pt::file_parser_error& e) {
        throw pt::json_parser_error(e.message(), path, e.line());
    }
    refuseOversized(text, path);
    std::istringstream in(text);
    pt::ptree root;
    try {
        pt::read_json(in, root);
    } catch (const pt::json_parser_error& e) {
        throw pt::json_parser_error(e.message(), path, e.line());
    }
    return root;
}

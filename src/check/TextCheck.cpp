#include "check/TextCheck.h"

#include "resources/ResourceFile.h"
#include "resources/Utf8.h"
#include "story/Goals.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string hex(unsigned value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

// The characters of `line` before byte `at`, counting each sequence once.
std::size_t column(const std::string& line, std::size_t at)
{
    return 1 + static_cast<std::size_t>(std::count_if(line.begin(), line.begin() + static_cast<long>(at), [](char c) {
               return (static_cast<unsigned char>(c) & 0xC0u) != 0x80u;
           }));
}

// The character an XML character reference ("&#233;", "&#xE9;") at `at`
// stands for, and its length; 0 when there is none there.
std::size_t reference(const std::string& line, std::size_t at, sf::Uint32& code)
{
    if (line.compare(at, 2, "&#") != 0)
        return 0;
    const bool hexadecimal = at + 2 < line.size() && (line[at + 2] == 'x' || line[at + 2] == 'X');
    const std::size_t digits = at + (hexadecimal ? 3 : 2);
    const std::size_t end = line.find(';', digits);
    if (end == std::string::npos || end == digits || end - digits > 8)
        return 0;
    const std::string number = line.substr(digits, end - digits);
    if (number.find_first_not_of(hexadecimal ? "0123456789abcdefABCDEF" : "0123456789") != std::string::npos)
        return 0;
    const unsigned long value = std::stoul(number, nullptr, hexadecimal ? 16 : 10);
    if (value > 0x10FFFF)
        return 0; // the conversation's own check refuses it
    code = static_cast<sf::Uint32>(value);
    return end + 1 - at;
}

} // namespace

TextCheck::TextCheck(CheckReport& report)
    : report(report)
{
}

void TextCheck::run(const std::string& fontFile)
{
    lookingUp = ResourceFile::isRegular(fontFile) && font.load(fontFile);
    std::vector<std::string> files;
    std::error_code error;
    for (fs::directory_iterator it("res/txt", error), end; !error && it != end; it.increment(error))
        if (it->path().extension() == ".xml")
            files.push_back(it->path().generic_string());
    std::sort(files.begin(), files.end());
    files.push_back(Goals::file);
    for (const std::string& file : files) {
        if (!ResourceFile::isRegular(file))
            continue; // a missing or odd file is reported where it is read
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        checkText(file, text.str());
    }
}

void TextCheck::checkText(const std::string& file, const std::string& text)
{
    unsigned long number = 1;
    std::size_t start = 0;
    // A byte order mark before the first line is no character of the text.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        start = 3;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        checkLine(file, text.substr(start, end - start), number++);
        start = end + 1;
    }
}

void TextCheck::checkLine(const std::string& file, const std::string& line, unsigned long number)
{
    const std::size_t bad = Utf8::firstInvalid(line);
    if (bad != std::string::npos) {
        report.error(file, "not valid UTF-8 at column " + std::to_string(column(line, bad)) + " (byte 0x"
                               + hex(static_cast<unsigned char>(line[bad]), 2)
                               + "), which the game shows as a box: save the file as UTF-8",
                     number);
        return;
    }
    if (!lookingUp)
        return;
    // In a conversation, "&#233;" is the character it names.
    const bool xml = file.size() > 4 && file.compare(file.size() - 4, 4, ".xml") == 0;
    std::set<sf::Uint32> told;
    sf::Uint32 code = 0;
    for (std::size_t at = 0; at < line.size();) {
        std::size_t length = xml ? reference(line, at, code) : 0;
        if (length == 0)
            length = Utf8::next(line, at, code);
        const std::string written = line.substr(at, length);
        at += length;
        if (code < 0x20 || code == 0x7F || font.has(code) || !told.insert(code).second)
            continue;
        report.warning(file, "the font has no \"" + written + "\" (U+" + hex(code, 4)
                                 + "), which the game shows as an empty box: write it another way",
                       number);
    }
}

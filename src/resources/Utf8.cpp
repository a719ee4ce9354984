#include "resources/Utf8.h"

std::size_t Utf8::next(const std::string& text, std::size_t at, sf::Uint32& code)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length;
    sf::Uint32 least;
    if (lead < 0x80) {
        code = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, least = 0x80, code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, least = 0x800, code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, least = 0x10000, code = lead & 0x07u;
    } else {
        return 0; // a continuation byte, or a lead of an overlong or too large form
    }
    if (text.size() - at < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char c = byte(at + i);
        if ((c & 0xC0u) != 0x80u)
            return 0;
        code = (code << 6) | (c & 0x3Fu);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

std::size_t Utf8::firstInvalid(const std::string& text)
{
    sf::Uint32 code = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = next(text, at, code);
        if (length == 0)
            return at;
        at += length;
    }
    return std::string::npos;
}

sf::String Utf8::toSfString(const std::string& text)
{
    if (firstInvalid(text) == std::string::npos)
        return sf::String::fromUtf8(text.begin(), text.end());
    sf::String shown;
    sf::Uint32 code = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = next(text, at, code);
        shown += length == 0 ? sf::Uint32(0xFFFD) : code;
        at += length == 0 ? 1 : length;
    }
    return shown;
}

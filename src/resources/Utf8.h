#pragma once

#include <SFML/System/String.hpp>

#include <cstddef>
#include <string>

// The game's texts are UTF-8, whatever the desktop's locale: every text a
// player reads becomes an sf::String here, one code point per character.
class Utf8 {
public:
    Utf8() = delete;

    // The code points of `text`. A byte that starts no valid sequence (a
    // stray continuation byte, an overlong form, a surrogate, a cut-off
    // sequence) becomes U+FFFD, so broken text still shows where it breaks.
    static sf::String toSfString(const std::string& text);

    // The offset of the first byte that starts no valid sequence, npos when
    // the whole text is valid UTF-8.
    static std::size_t firstInvalid(const std::string& text);

    // The length of the valid sequence at `at` and its code point in `code`;
    // 0 when none starts there.
    static std::size_t next(const std::string& text, std::size_t at, sf::Uint32& code);
};

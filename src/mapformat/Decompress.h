#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

// Unpacks the compressed layer data that map editors write, through zlib and
// libzstd. The output is capped: a stream that would unpack to more than the
// caller's limit is stopped there and refused, whatever it claims about its
// size, so a small file cannot make the game allocate without bound.
class Decompress {
public:
    Decompress() = delete;

    enum class Method { zlib, gzip, zstd };

    struct Error : std::runtime_error {
        Error(const std::string& what, bool tooLarge)
            : std::runtime_error(what)
            , tooLarge(tooLarge)
        {
        }
        bool tooLarge; // the stream unpacks to more than the limit
    };

    // The unpacked bytes, at most `limit` of them. Throws Error when the
    // stream is damaged, ends early, or holds more than `limit` bytes.
    static std::string unpack(const std::string& packed, Method method, std::size_t limit);
};

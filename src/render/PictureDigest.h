#pragma once

#include <cstddef>
#include <string>

class GameState;

// The kept picture's digest (StillFrame): FNV-1a over the bytes of what shapes
// the picture. Each screen adds its own part (GameState::addToPictureDigest).
class PictureDigest {
public:
    unsigned long long value = 14695981039346656037ull;

    void bytes(const void* data, std::size_t size)
    {
        const auto* p = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) {
            value ^= p[i];
            value *= 1099511628211ull;
        }
    }
    template <class T>
    void add(const T& v)
    {
        bytes(&v, sizeof v);
    }
    void add(const std::string& s)
    {
        add(s.size());
        bytes(s.data(), s.size());
    }
    // Every entity of `state`: its visibility and, when visible, its place,
    // mirroring, picture, colour and the words it shows.
    void addEntities(const GameState& state);
};

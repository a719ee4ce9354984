#pragma once

#include <SFML/Graphics/Image.hpp>

#include <string>

// Reads picture files (tileset images, the player's sheet) into images.
//
// Pictures are PNG files, the format of every picture the game ships and the
// one map editors save, decoded with libpng. The image reader built into the
// graphics library is never given a file: on a few hundred bytes of damaged
// data it can run for minutes and take gigabytes (PNG) or abort the game
// (JPEG), so other formats are not read at all.
class PictureFile {
public:
    PictureFile() = delete;

    // The widest and tallest picture read, in pixels. A few kilobytes of PNG
    // can declare a picture of gigabytes; a tileset this size is already
    // 65,536 tiles of 32 pixels.
    static constexpr unsigned maxSide = 8192;

    // Fills `image` from the file and returns true; on any failure (not a
    // regular file, unreadable, damaged, too large) returns false and leaves
    // `image` empty.
    static bool load(const std::string& path, sf::Image& image);
};

#pragma once

#include <SFML/Graphics/Image.hpp>

#include <string>

// Reads picture files (tileset images, the player's sheet) into images.
//
// PNG, the format of every picture the game ships and the one map editors
// save, is decoded with libpng: the image reader built into the graphics
// library can spend minutes and gigabytes on a few hundred bytes of damaged
// PNG data. Other formats still go to that reader.
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

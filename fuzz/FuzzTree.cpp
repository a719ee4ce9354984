#include "FuzzTree.h"

#include "Graphics.h"

#include <SFML/Graphics/Image.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

#ifndef TARNWICK_SOURCE_DIR
#define TARNWICK_SOURCE_DIR "."
#endif

FuzzTree::FuzzTree(const std::string& name)
{
    const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string pattern = (base / ("tarnwick-fuzz-" + name + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary directory");
    root = pattern;
    fs::create_directories(fs::path(root) / "res/txt");
    fs::create_directories(fs::path(root) / "res/maps");
    fs::create_directories(fs::path(root) / "res/gfx");
    fs::current_path(root);
}

FuzzTree::~FuzzTree()
{
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

std::string FuzzTree::sourceDir()
{
    const char* fromEnvironment = std::getenv("TARNWICK_SOURCE_DIR");
    return fromEnvironment && *fromEnvironment ? fromEnvironment : TARNWICK_SOURCE_DIR;
}

void FuzzTree::write(const std::string& path, const std::uint8_t* data, std::size_t size) const
{
    std::ofstream out(fs::path(root) / path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void FuzzTree::write(const std::string& path, const std::string& text) const
{
    write(path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

void FuzzTree::shortConversations() const
{
    const fs::path shipped = fs::path(sourceDir()) / "res/txt";
    for (const auto& entry : fs::directory_iterator(shipped)) {
        if (entry.path().extension() == ".xml")
            write("res/txt/" + entry.path().filename().string(),
                  "<dialogue><text><l>" + entry.path().stem().string() + "</l></text></dialogue>");
    }
}

void FuzzTree::image(const std::string& path, unsigned width, unsigned height) const
{
    sf::Image picture;
    picture.create(width, height);
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x)
            picture.setPixel(x, y, sf::Color(static_cast<sf::Uint8>(40 * (x / 32)),
                                             static_cast<sf::Uint8>(40 * (y / 32)), 128));
    fs::create_directories((fs::path(root) / path).parent_path());
    picture.saveToFile((fs::path(root) / path).string());
}

void forgetTilesets(const std::set<std::string>& keep)
{
    for (auto entry = Graphics::_graphics.begin(); entry != Graphics::_graphics.end();) {
        if (keep.count(entry->first)) {
            ++entry;
            continue;
        }
        for (sf::Texture* texture : entry->second)
            delete texture;
        entry = Graphics::_graphics.erase(entry);
    }
}

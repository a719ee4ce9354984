#include "FuzzTree.h"

#include "render/Graphics.h"

#include <SFML/Graphics/Image.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;

#ifndef TARNWICK_SOURCE_DIR
#define TARNWICK_SOURCE_DIR "."
#endif

namespace {

// The rewritten arguments live as long as the process.
std::vector<std::string> arguments;
std::vector<char*> argumentPointers;

void absoluteArguments(int* argc, char*** argv)
{
    if (!argc || !argv)
        return;
    const auto absolute = [](const std::string& path) {
        return path.empty() || fs::path(path).is_absolute() ? path : fs::absolute(path).string();
    };
    for (int i = 0; i < *argc; ++i) {
        std::string argument = (*argv)[i];
        const std::size_t equals = argument.find('=');
        if (i > 0 && argument[0] != '-')
            argument = absolute(argument);
        else if (argument[0] == '-' && equals != std::string::npos
                 && (argument.rfind("-dict=", 0) == 0 || argument.rfind("-artifact_prefix=", 0) == 0
                     || argument.rfind("-exact_artifact_path=", 0) == 0))
            argument = argument.substr(0, equals + 1) + absolute(argument.substr(equals + 1));
        arguments.push_back(argument);
    }
    for (std::string& argument : arguments)
        argumentPointers.push_back(argument.data());
    argumentPointers.push_back(nullptr);
    *argv = argumentPointers.data();
}

} // namespace

FuzzTree::FuzzTree(const std::string& name, int* argc, char*** argv)
{
    absoluteArguments(argc, argv);
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

#include "resources/PictureFile.h"

#include "resources/ResourceFile.h"

#include <png.h>

#include <boost/property_tree/detail/file_parser_error.hpp>

#include <cstring>
#include <vector>

namespace {

bool isPng(const std::string& data)
{
    return data.size() >= 8 && std::memcmp(data.data(), "\x89PNG\r\n\x1a\n", 8) == 0;
}

bool decodePng(const std::string& data, sf::Image& image)
{
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, data.data(), data.size()))
        return false;
    if (png.width == 0 || png.height == 0 || png.width > PictureFile::maxSide
        || png.height > PictureFile::maxSide) {
        png_image_free(&png);
        return false;
    }
    png.format = PNG_FORMAT_RGBA;
    std::vector<sf::Uint8> pixels(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&png);
        return false;
    }
    image.create(png.width, png.height, pixels.data());
    return true;
}

} // namespace

bool PictureFile::load(const std::string& path, sf::Image& image)
{
    image = sf::Image();
    std::string data;
    try {
        data = ResourceFile::read(path);
    } catch (const boost::property_tree::file_parser_error&) {
        return false;
    }
    return isPng(data) && decodePng(data, image);
}

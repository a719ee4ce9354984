#include "resources/ResourceFile.h"

#include <boost/property_tree/detail/file_parser_error.hpp>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;
namespace pt = boost::property_tree;

bool ResourceFile::isRegular(const std::string& path)
{
    std::error_code error;
    return fs::is_regular_file(fs::status(path, error));
}

void ResourceFile::requireRegular(const std::string& path)
{
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (!fs::exists(status))
        throw pt::file_parser_error("cannot open file", path, 0);
    if (!fs::is_regular_file(status))
        throw pt::file_parser_error("not a regular file", path, 0);
}

std::string ResourceFile::read(const std::string& path)
{
    requireRegular(path);
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    if (!error && size > maxBytes)
        throw pt::file_parser_error("larger than " + std::to_string(maxBytes >> 20) + " MiB", path, 0);
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw pt::file_parser_error("cannot open file", path, 0);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        throw pt::file_parser_error("cannot read file", path, 0);
    return text;
}

bool ResourceFile::insideResources(const std::string& path)
{
    const fs::path normal = fs::path(path).lexically_normal();
    if (normal.empty() || normal.has_root_path() || normal.has_root_name())
        return false;
    auto part = normal.begin();
    if (part == normal.end() || *part != "res")
        return false;
    for (; part != normal.end(); ++part) {
        if (*part == "..")
            return false;
    }
    return true;
}

void ResourceFile::requireInside(const std::string& path, const std::string& referrer)
{
    if (!insideResources(path))
        throw pt::file_parser_error("\"" + path + "\" lies outside the resource folder res/", referrer, 0);
}

std::vector<std::string> ResourceFile::words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> list;
    for (std::string word; in >> word;)
        list.push_back(word);
    return list;
}

#pragma once

#include <boost/property_tree/ptree.hpp>

#include <string>

// Reads the JSON files of the resource tree: maps and external tilesets.
//
// The property-tree reader descends one call per nested array or object and
// keeps a tree node for every value, so a file is looked over before it is
// parsed: nesting deeper than maxNesting, or more than maxValues values, is
// refused with a parse error naming the file and line. Only regular files
// within ResourceFile's size cap are opened.
class JsonFile {
public:
    JsonFile() = delete;

    static constexpr int maxNesting = 64;
    // A full layer of the largest map allowed, and room for everything else.
    static constexpr long long maxValues = (1LL << 22) + (1LL << 20);

    // Every failure is a json_parser_error whose text starts with `path`.
    static boost::property_tree::ptree read(const std::string& path);
    // The look-over alone: throws json_parser_error for a document nested too
    // deep or holding too many values.
    static void refuseOversized(const std::string& text, const std::string& path);
};

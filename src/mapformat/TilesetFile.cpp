#include "mapformat/TilesetFile.h"

#include "mapformat/JsonFile.h"
#include "resources/ResourceFile.h"

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include <expat.h>

#include <climits>
#include <initializer_list>
#include <cstring>
#include <memory>
#include <vector>

namespace pt = boost::property_tree;

namespace {

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Builds the JSON shape of a tileset from the elements of a .tsx as they
// stream past. Expat keeps its own stack, so nesting cannot exhaust ours.
struct TsxReader {
    explicit TsxReader(const std::string& path)
        : path(path)
    {
    }

    std::string path;
    XML_Parser parser = nullptr;
    pt::ptree tileset;
    pt::ptree* tile = nullptr;     // the <tile> being read, inside tileset's "tiles"
    pt::ptree* property = nullptr; // the <property> being read
    bool valueIsText = false;      // its value is the element's text
    std::vector<std::string> open; // element names from the root down
    std::string failure;
    bool sawRoot = false;

    static const char* find(const char** attributes, const char* name)
    {
        for (int i = 0; attributes[i]; i += 2)
            if (std::strcmp(attributes[i], name) == 0)
                return attributes[i + 1];
        return nullptr;
    }

    static std::string attribute(const char** attributes, const char* name, const std::string& otherwise = "")
    {
        const char* value = find(attributes, name);
        return value ? value : otherwise;
    }

    // Copies the attributes that are present into `into`.
    static void copy(const char** attributes, std::initializer_list<const char*> names, pt::ptree& into)
    {
        for (const char* name : names)
            if (const char* value = find(attributes, name))
                into.put(name, value);
    }

    void fail(const std::string& message)
    {
        if (failure.empty())
            failure = message;
        XML_StopParser(parser, XML_FALSE);
    }

    void start(const char* name, const char** attributes)
    {
        const std::string element = name;
        const std::string parent = open.empty() ? "" : open.back();
        open.push_back(element);
        if (static_cast<int>(open.size()) > TilesetFile::maxNesting)
            return fail("elements nested more than " + std::to_string(TilesetFile::maxNesting) + " deep");

        if (open.size() == 1) {
            if (element != "tileset")
                return fail("the root element is <" + element + ">, not <tileset>");
            sawRoot = true;
            if (!attribute(attributes, "source").empty())
                return fail("a tileset file cannot name another tileset (source \""
                            + attribute(attributes, "source") + "\")");
            copy(attributes, {"name", "tilewidth", "tileheight", "spacing", "margin", "tilecount", "columns"},
                 tileset);
            tileset.put_child("tiles", pt::ptree());
        } else if (element == "image" && parent == "tileset") {
            tileset.put("image", attribute(attributes, "source"));
            tileset.put("imagewidth", attribute(attributes, "width", "0"));
            tileset.put("imageheight", attribute(attributes, "height", "0"));
        } else if (element == "tile" && parent == "tileset") {
            pt::ptree entry;
            entry.put("id", attribute(attributes, "id"));
            copy(attributes, {"type", "class"}, entry);
            entry.put_child("properties", pt::ptree());
            pt::ptree& tiles = tileset.get_child("tiles");
            tile = &tiles.push_back(std::make_pair(std::string(), entry))->second;
        } else if (element == "image" && parent == "tile" && tile) {
            tile->put("image", attribute(attributes, "source"));
        } else if (element == "property" && open.size() == 4 && tile && parent == "properties") {
            // A tile's own properties; those of a class value nest deeper and are left out.
            pt::ptree entry;
            entry.push_back(std::make_pair("name", pt::ptree(attribute(attributes, "name"))));
            entry.push_back(std::make_pair("type", pt::ptree(attribute(attributes, "type", "string"))));
            entry.push_back(std::make_pair("value", pt::ptree(attribute(attributes, "value"))));
            pt::ptree& list = tile->get_child("properties");
            property = &list.push_back(std::make_pair(std::string(), entry))->second;
            valueIsText = !find(attributes, "value");
        }
    }

    void end()
    {
        if (!open.empty()) {
            if (open.back() == "tile")
                tile = nullptr;
            else if (open.back() == "property" && open.size() == 4)
                property = nullptr;
            open.pop_back();
        }
    }

    void text(const char* s, int length)
    {
        // A multi-line string property keeps its value as the element's text.
        if (property && valueIsText && open.size() == 4 && open.back() == "property") {
            pt::ptree& value = property->get_child("value");
            value.data().append(s, static_cast<std::size_t>(length));
        }
    }

    pt::ptree parse(const std::string& xml)
    {
        std::unique_ptr<XML_ParserStruct, decltype(&XML_ParserFree)> owned(XML_ParserCreate("UTF-8"),
                                                                            XML_ParserFree);
        parser = owned.get();
        if (!parser)
            throw pt::xml_parser_error("cannot start the XML reader", path, 0);
        XML_SetUserData(parser, this);
        XML_SetElementHandler(
            parser,
            [](void* self, const XML_Char* name, const XML_Char** attributes) {
                static_cast<TsxReader*>(self)->start(name, attributes);
            },
            [](void* self, const XML_Char*) { static_cast<TsxReader*>(self)->end(); });
        XML_SetCharacterDataHandler(parser, [](void* self, const XML_Char* s, int length) {
            static_cast<TsxReader*>(self)->text(s, length);
        });
        if (xml.size() > static_cast<std::size_t>(INT_MAX))
            throw pt::xml_parser_error("the file is too large", path, 0);
        const XML_Status status = XML_Parse(parser, xml.data(), static_cast<int>(xml.size()), XML_TRUE);
        const unsigned long line = XML_GetCurrentLineNumber(parser);
        if (!failure.empty())
            throw pt::xml_parser_error(failure, path, line);
        if (status != XML_STATUS_OK)
            throw pt::xml_parser_error(XML_ErrorString(XML_GetErrorCode(parser)), path, line);
        if (!sawRoot)
            throw pt::xml_parser_error("no <tileset> element", path, line);
        return tileset;
    }
};

} // namespace

pt::ptree TilesetFile::read(const std::string& path)
{
    if (endsWith(path, ".tsx")) {
        std::string xml;
        try {
            xml = ResourceFile::read(path);
        } catch (const pt::file_parser_error& e) {
            throw pt::xml_parser_error(e.message(), path, e.line());
        }
        TsxReader reader(path);
        return reader.parse(xml);
    }
    if (!endsWith(path, ".tsj") && !endsWith(path, ".json"))
        throw pt::file_parser_error("a tileset file must end in .tsj, .json or .tsx", path, 0);
    pt::ptree tileset = JsonFile::read(path);
    if (const auto source = tileset.get_optional<std::string>("source"))
        throw pt::json_parser_error("a tileset file cannot name another tileset (source \"" + *source + "\")",
                                    path, 0);
    return tileset;
}

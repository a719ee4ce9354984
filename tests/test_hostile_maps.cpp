// Map files built to hurt the game: packed data that unpacks without end,
// tilesets that name themselves or lie outside res/, pipes instead of files,
// and maps that claim far more than they hold. Each is refused with an error
// naming the file, quickly and without a large allocation.
#include "core/Entity.h"
#include "core/GameState.h"
#include "mapformat/JsonFile.h"
#include "world/Map.h"
#include "TestSupport.h"
#include "mapformat/TilesetFile.h"

#include <boost/beast/core/detail/base64.hpp>
#include <boost/property_tree/exceptions.hpp>
#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/xml_parser.hpp>
#include <gtest/gtest.h>
#include <zlib.h>
#include <zstd.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <string>

using namespace testing_support;
namespace pt = boost::property_tree;

namespace {

std::string base64(const std::string& bytes)
{
    std::string text(boost::beast::detail::base64::encoded_size(bytes.size()), '\0');
    text.resize(boost::beast::detail::base64::encode(text.data(), bytes.data(), bytes.size()));
    return text;
}

std::string zlibPacked(const std::string& bytes, bool gzip = false)
{
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, gzip ? 15 + 16 : 15, 9, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, static_cast<uLong>(bytes.size())) + 64, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

std::string zstdPacked(const std::string& bytes)
{
    std::string out(ZSTD_compressBound(bytes.size()), '\0');
    out.resize(ZSTD_compress(out.data(), out.size(), bytes.data(), bytes.size(), 3));
    return out;
}

// A map of today's format, `width` x `height` cells of 32 pixels, with the
// given layers and tilesets (JSON text of the arrays' elements).
std::string currentMap(int width, int height, const std::string& layers, const std::string& tilesets)
{
    return "{\"version\": \"1.8\", \"width\": " + std::to_string(width) + ", \"height\": " + std::to_string(height)
           + ", \"tilewidth\": 32, \"tileheight\": 32, \"layers\": [" + layers + "], \"tilesets\": [" + tilesets
           + "]}";
}

std::string packedLayer(const std::string& compression, const std::string& data)
{
    return R"({"type": "tilelayer", "name": "ground", "encoding": "base64", "compression": ")" + compression
           + R"(", "data": ")" + data + "\"}";
}

const std::string plainTileset = R"({"firstgid": 1, "name": "hostile", "image": "../gfx/h.png", "tiles": [
    {"id": 0, "type": "floor", "properties": [{"name": "solid", "type": "bool", "value": false}]}]})";

class HostileMaps : public ::testing::Test {
protected:
    void SetUp() override { resetGame(); }
    void TearDown() override { resetGame(); }

    // The message of the error loading `file` gives; it must name `named`.
    std::string refusal(const std::string& file, const std::string& named)
    {
        GameState state;
        try {
            Map().loadMap(file, &state);
        } catch (const pt::ptree_error& e) {
            const std::string what = e.what();
            EXPECT_EQ(what.rfind(named, 0), 0u) << what;
            EXPECT_TRUE(state.entities.empty());
            return what;
        }
        ADD_FAILURE() << file << " was loaded";
        return "";
    }

    ResourceDir dir;
};

long peakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

TEST_F(HostileMaps, PackedDataMustBeValidAndUnpackToNoMoreThanTheLayer)
{
    dir.image("res/gfx/h.png", 32, 32);
    const std::string four(16, '\0'); // a 2 x 2 layer of empty cells
    const std::string bomb(32 << 20, '\0');

    struct Case {
        std::string layer, message;
    } cases[] = {
        {packedLayer("", "AAAA*AAA"), "layer \"ground\": \"data\" is not valid base64"},
        {packedLayer("", "AAAAAAAAAAAAAAA"), "\"data\" is not valid base64"},
        {packedLayer("", base64(std::string(12, '\0'))), "the data holds 12 bytes, not 4 for each of the 4 cells"},
        {packedLayer("zlib", base64(zlibPacked(bomb))),
         "layer \"ground\": the zlib data unpacks to more than the layer's 4 cells (16 bytes)"},
        {packedLayer("gzip", base64(zlibPacked(bomb, true))), "the gzip data unpacks to more than the layer's 4 cells"},
        {packedLayer("zstd", base64(zstdPacked(bomb))), "the zstd data unpacks to more than the layer's 4 cells"},
        {packedLayer("zlib", base64(zlibPacked(four, true))), "the zlib data cannot be unpacked"},
        {packedLayer("zlib", base64(zlibPacked(four).substr(0, 6))), "the zlib data cannot be unpacked: the compressed data ends early"},
        {packedLayer("zstd", base64("not zstd at all!")), "the zstd data cannot be unpacked"},
        {packedLayer("lzma", base64(four)), "\"compression\" is \"lzma\"; the game reads zlib, gzip and zstd"},
    };
    const long before = peakKiB();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        dir.write("res/maps/packed.json", currentMap(2, 2, c.layer, plainTileset));
        const std::string what = refusal("packed.json", "res/maps/packed.json: ");
        EXPECT_NE(what.find(c.message), std::string::npos) << what;
    }
    EXPECT_LT(peakKiB() - before, 16 * 1024) << "32 MiB bombs must not be unpacked whole";

    // The same layers, well formed, load.
    for (const char* compression : {"zlib", "gzip", "zstd"}) {
        const std::string cells("\x01\0\0\0\0\0\0\0\0\0\0\0\x01\0\0\0", 16);
        const std::string packed = compression == std::string("zstd") ? zstdPacked(cells)
                                                                       : zlibPacked(cells, compression == std::string("gzip"));
        dir.write("res/maps/fine.json", currentMap(2, 2, packedLayer(compression, base64(packed)), plainTileset));
        GameState state;
        ASSERT_NO_THROW(Map().loadMap("fine.json", &state)) << compression;
        ASSERT_EQ(state.entities.size(), 2u);
        EXPECT_EQ(state.entities[1]->x, 32);
        EXPECT_EQ(state.entities[1]->y, 32);
    }
}

TEST_F(HostileMaps, TilesetFilesMayNotNameThemselvesOrLieOutsideTheResources)
{
    dir.write("res/maps/self.tsj", R"({"name": "self", "source": "self.tsj", "image": "x.png"})");
    dir.write("res/maps/self.tsx", "<?xml version=\"1.0\"?>\n<tileset name=\"self\" source=\"self.tsx\"/>\n");
    dir.write("res/maps/self-json.json", currentMap(1, 1, "", R"({"firstgid": 1, "source": "self.tsj"})"));
    dir.write("res/maps/self-xml.json", currentMap(1, 1, "", R"({"firstgid": 1, "source": "self.tsx"})"));
    EXPECT_NE(refusal("self-json.json", "res/maps/self.tsj: ").find("cannot name another tileset (source \"self.tsj\")"),
              std::string::npos);
    EXPECT_NE(refusal("self-xml.json", "res/maps/self.tsx(2): ").find("cannot name another tileset"),
              std::string::npos);

    dir.write("outside.tsj", R"({"name": "outside", "image": "x.png"})");
    dir.write("res/maps/out.json", currentMap(1, 1, "", R"({"firstgid": 1, "source": "../../outside.tsj"})"));
    EXPECT_EQ(refusal("out.json", "res/maps/out.json: "),
              "res/maps/out.json: \"res/maps/../../outside.tsj\" lies outside the resource folder res/");

    // Pictures and conversations named by either format stay inside res/ too.
    dir.write("res/maps/far.tsj", R"({"name": "far", "image": "../../../x.png"})");
    dir.write("res/maps/far.json", currentMap(1, 1, "", R"({"firstgid": 1, "source": "far.tsj"})"));
    EXPECT_NE(refusal("far.json", "res/maps/far.tsj: ").find("\"res/maps/../../../x.png\" lies outside"),
              std::string::npos);
    const std::string legacy = R"({"width": 1, "height": 1, "tileheight": 32, "layers": [{"data": [1]}],
      "tilesets": [{"name": "hostile-legacy", "image": "IMAGE", "firstgid": 1,
                    "tileproperties": {"0": {"type": "floor", "solid": false, "dialogue": "DIALOGUE"}}}]})";
    const auto with = [&](const std::string& image, const std::string& dialogue) {
        std::string text = legacy;
        text.replace(text.find("IMAGE"), 5, image);
        text.replace(text.find("DIALOGUE"), 8, dialogue);
        return text;
    };
    dir.write("res/maps/legacy-image.json", with("../../x.png", "sign"));
    EXPECT_NE(refusal("legacy-image.json", "res/maps/legacy-image.json: ").find("\"res/maps/../../x.png\" lies outside"),
              std::string::npos);
    dir.write("res/maps/legacy-talk.json", with("../gfx/h.png", "../../outside"));
    dir.write("outside.xml", leafXml("read from outside"));
    EXPECT_NE(refusal("legacy-talk.json", "res/maps/legacy-talk.json: ")
                  .find("\"res/txt/../../outside.xml\" lies outside"),
              std::string::npos);
}

TEST_F(HostileMaps, PipesAreRefusedBeforeTheyAreOpened)
{
    dir.write("res/maps/.keep", "");
    ASSERT_EQ(mkfifo("res/maps/pipe.json", 0600), 0);
    EXPECT_EQ(refusal("pipe.json", "res/maps/pipe.json: "), "res/maps/pipe.json: not a regular file");
    for (const char* name : {"pipe.tsj", "pipe.tsx"}) {
        ASSERT_EQ(mkfifo((std::string("res/maps/") + name).c_str(), 0600), 0);
        dir.write("res/maps/uses-pipe.json",
                  currentMap(1, 1, "", std::string(R"({"firstgid": 1, "source": ")") + name + "\"}"));
        EXPECT_EQ(refusal("uses-pipe.json", std::string("res/maps/") + name + ": "),
                  std::string("res/maps/") + name + ": not a regular file");
    }
}

TEST_F(HostileMaps, DeepTilesetsAndCrowdedFilesAreRefusedBeforeTheyAreParsed)
{
    std::string xml = "<?xml version=\"1.0\"?>\n<!-- <a><a><a> -->\n<tileset name=\"deep\">\n";
    for (int i = 0; i < 100000; ++i)
        xml += "<a>";
    dir.write("res/maps/deep.tsx", xml);
    try {
        TilesetFile::read("res/maps/deep.tsx");
        FAIL() << "a tileset nested 100000 deep was read";
    } catch (const pt::xml_parser_error& e) {
        EXPECT_EQ(e.filename(), "res/maps/deep.tsx");
        EXPECT_EQ(e.line(), 4u);
        EXPECT_NE(e.message().find("nested more than 32 deep"), std::string::npos) << e.message();
    }

    // Brackets inside strings, escaped quotes and backslashes are text, not nesting.
    const std::string tricky = R"({"a": "[[[[\"{{{{", "b": "\\", "c": [[1]]})";
    EXPECT_NO_THROW(JsonFile::refuseOversized(tricky, "tricky.json"));
    std::string deep = R"({"note": "\\", "deep": )";
    deep += std::string(65, '[') + std::string(65, ']') + "}";
    EXPECT_THROW(JsonFile::refuseOversized(deep, "deep.json"), pt::json_parser_error);

    // More values than any map needs: refused before the reader builds a
    // tree node for each.
    std::string crowded = "{\"data\": [0";
    crowded.reserve(static_cast<std::size_t>(JsonFile::maxValues) * 2 + 64);
    for (long long i = 0; i < JsonFile::maxValues; ++i)
        crowded += ",0";
    crowded += "]}";
    try {
        JsonFile::refuseOversized(crowded, "crowded.json");
        FAIL() << "a file of " << JsonFile::maxValues + 2 << " values was accepted";
    } catch (const pt::json_parser_error& e) {
        EXPECT_NE(e.message().find("holds more than"), std::string::npos) << e.message();
    }
}

TEST_F(HostileMaps, MemoryFollowsTheCellsTheFileHoldsNotTheSizeItClaims)
{
    // 2048 x 2048 cells and 200 empty layers: a few kilobytes of file.
    std::string layers;
    for (int i = 0; i < 200; ++i)
        layers += std::string(i ? "," : "") + "{\"data\": []}";
    dir.write("res/maps/claims.json", "{\"width\": 2048, \"height\": 2048, \"tileheight\": 32, \"layers\": [" + layers
                                          + "], \"tilesets\": []}");
    const long before = peakKiB();
    GameState state;
    Map map;
    ASSERT_NO_THROW(map.loadMap("claims.json", &state));
    EXPECT_TRUE(state.entities.empty());
    EXPECT_EQ(map.width, 2048);
    EXPECT_LT(peakKiB() - before, 64 * 1024) << "the empty layers were filled in memory";

    // The limit holds for all layers together: two packed layers of the
    // largest size are refused before the second is unpacked.
    dir.image("res/gfx/h.png", 32, 32);
    const std::string empty = base64(zlibPacked(std::string(std::size_t(2048) * 2048 * 4, '\0')));
    dir.write("res/maps/twice.json", currentMap(2048, 2048, packedLayer("zlib", empty) + "," + packedLayer("zlib", empty),
                                                plainTileset));
    EXPECT_NE(refusal("twice.json", "res/maps/twice.json: ").find("the layers hold more cells in all than a map may"),
              std::string::npos);
}

// Files built to break the readers: nesting deep enough to exhaust the stack
// of a recursive parser is refused with a clear error naming the file.
#include "dialogueformat/DialogueTree.h"
#include "core/GameState.h"
#include "world/Map.h"
#include "TestSupport.h"

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/xml_parser.hpp>
#include <gtest/gtest.h>

#include <string>

using namespace testing_support;
namespace pt = boost::property_tree;

TEST(HostileFiles, DeeplyNestedFilesAreRefusedNotFollowedIntoAStackOverflow)
{
    ResourceDir dir;
    const int deep = 200000;
    dir.write("res/maps/deep.json", "{\"width\":1,\"height\":1,\"tileheight\":32,\"layers\":"
                                        + std::string(deep, '[') + std::string(deep, ']')
                                        + ",\"tilesets\":[]}");
    GameState state;
    Map map;
    try {
        map.loadMap("deep.json", &state);
        FAIL() << "a map nested 200000 deep was accepted";
    } catch (const pt::json_parser_error& e) {
        EXPECT_EQ(e.filename(), "res/maps/deep.json");
        EXPECT_NE(std::string(e.what()).find("nested"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(state.entities.empty());

    std::string xml = "<dialogue><text><l>hi</l></text>\n<!-- <a><a><a> in a comment do not count -->\n";
    for (int i = 0; i < deep; ++i)
        xml += "<a>";
    for (int i = 0; i < deep; ++i)
        xml += "</a>";
    dir.write("res/txt/deep.xml", xml + "</dialogue>");
    try {
        delete DialogueTree::load("res/txt/deep.xml");
        FAIL() << "a conversation nested 200000 deep was accepted";
    } catch (const pt::xml_parser_error& e) {
        EXPECT_EQ(e.filename(), "res/txt/deep.xml");
        EXPECT_EQ(e.line(), 3u);
    }
}

TEST(HostileFiles, OrdinaryNestingAndBracketsInTextAreFine)
{
    ResourceDir dir;
    // Sixty levels of answers, self-closing elements, and markup-like text.
    std::string open, close;
    for (int i = 0; i < 60; ++i) {
        open += "<dialogue><text><l>level</l><br/></text><options><o>on</o></options><responses><r>";
        close = "</r></responses></dialogue>" + close;
    }
    dir.write("res/txt/tall.xml", open + "<dialogue><text><l>&lt;[{ the end</l></text></dialogue>" + close);
    DialogueTree* tree = nullptr;
    ASSERT_NO_THROW(tree = DialogueTree::load("res/txt/tall.xml"));
    const DialogueTree* node = tree;
    int depth = 0;
    while (!node->responses.empty()) {
        node = &node->responses[0];
        ++depth;
    }
    EXPECT_EQ(depth, 60);
    EXPECT_EQ(node->text.at(0), "<[{ the end");
    delete tree;

    dir.write("res/maps/brackets.json",
              "{\"width\":1,\"height\":1,\"tileheight\":32,\"note\":\"[[[[{{{{\\\"]]\","
              "\"layers\":[{\"data\":[0]}],\"tilesets\":[]}");
    GameState state;
    Map map;
    EXPECT_NO_THROW(map.loadMap("brackets.json", &state));
}

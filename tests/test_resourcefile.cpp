#include "resources/ResourceFile.h"
#include "TestSupport.h"

#include <boost/property_tree/detail/file_parser_error.hpp>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace testing_support;
namespace pt = boost::property_tree;

TEST(ResourceFileTest, NamesMustStayInsideTheResourceFolder)
{
    for (const char* inside : {"res/maps/testmap.json", "res/maps/../gfx/world.png", "res/./txt/a.xml",
                               "res/txt/sub/../b.xml", "res/../res/x"})
        EXPECT_TRUE(ResourceFile::insideResources(inside)) << inside;
    for (const char* outside : {"res/maps/../../x.png", "res/txt/../../outside.xml", "/etc/passwd",
                                "res/../x", "x/res/y", "", "res/maps/a/../../../x", "..",
                                "res/txt//../../../y"})
        EXPECT_FALSE(ResourceFile::insideResources(outside)) << outside;

    EXPECT_NO_THROW(ResourceFile::requireInside("res/gfx/a.png", "res/maps/m.json"));
    try {
        ResourceFile::requireInside("res/txt/../../outside.xml", "res/maps/m.json");
        FAIL() << "a name outside res/ was accepted";
    } catch (const pt::file_parser_error& e) {
        EXPECT_STREQ(e.what(),
                     "res/maps/m.json: \"res/txt/../../outside.xml\" lies outside the resource folder res/");
    }
}

TEST(ResourceFileTest, OnlyRegularFilesAreRead)
{
    ResourceDir dir;
    dir.write("res/txt/a.xml", "<dialogue/>\n");
    EXPECT_EQ(ResourceFile::read("res/txt/a.xml"), "<dialogue/>\n");
    EXPECT_TRUE(ResourceFile::isRegular("res/txt/a.xml"));

    // A pipe would block the reader for ever, a folder cannot be read at all.
    ASSERT_EQ(mkfifo("res/txt/pipe.xml", 0600), 0);
    const struct {
        const char* path;
        const char* message;
    } refused[] = {
        {"res/txt/pipe.xml", "res/txt/pipe.xml: not a regular file"},
        {"res/txt", "res/txt: not a regular file"},
        {"res/txt/absent.xml", "res/txt/absent.xml: cannot open file"},
    };
    for (const auto& r : refused) {
        EXPECT_FALSE(ResourceFile::isRegular(r.path)) << r.path;
        try {
            ResourceFile::read(r.path);
            ADD_FAILURE() << r.path << " was read";
        } catch (const pt::file_parser_error& e) {
            EXPECT_STREQ(e.what(), r.message);
        }
    }
}

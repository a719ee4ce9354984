#include "launch/DataDirectory.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

// Folders with game data (option, environment, installed, start) in a
// temporary tree; each test removes the ones it needs missing.
struct Tree {
    ResourceDir dir;
    fs::path root{dir.path()};
    fs::path executable = root / "prefix/games/tarnwick";
    fs::path installed = root / "prefix/share/games/tarnwick";

    Tree()
    {
        for (const char* folder : {"option", "environment", "prefix/share/games/tarnwick", "start"})
            dir.write(std::string(folder) + "/res/maps/testmap.json", "{}");
        dir.write("prefix/games/tarnwick", "");
    }
    DataDirectory::Places places() const
    {
        DataDirectory::Places p;
        p.option = (root / "option").string();
        p.environment = (root / "environment").string();
        p.executable = executable;
        p.startFolder = root / "start";
        return p;
    }
    void empty(const std::string& folder) const { fs::remove_all(root / folder / "res"); }
};

std::string failure(const DataDirectory::Places& places)
{
    try {
        DataDirectory::find(places);
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    ADD_FAILURE() << "found data where none should be";
    return "";
}

} // namespace

TEST(DataDirectoryTest, EachSourceWinsOverTheNext)
{
    Tree tree;
    DataDirectory::Places places = tree.places();
    EXPECT_EQ(DataDirectory::find(places), tree.root / "option");
    places.option.reset();
    EXPECT_EQ(DataDirectory::find(places), tree.root / "environment");
    places.environment = "";  // set but empty: as if unset
    EXPECT_EQ(DataDirectory::find(places), tree.installed);
    places.environment.reset();
    tree.empty("prefix/share/games/tarnwick");
    EXPECT_EQ(DataDirectory::find(places), tree.root / "start");
    places.executable.clear();  // the system did not say where the program is
    EXPECT_EQ(DataDirectory::find(places), tree.root / "start");
}

TEST(DataDirectoryTest, RelativeFoldersAreTakenFromTheStartFolder)
{
    Tree tree;
    tree.dir.write("start/mine/res/maps/testmap.json", "{}");
    DataDirectory::Places places = tree.places();
    places.option = "mine/../mine";
    EXPECT_EQ(DataDirectory::find(places), tree.root / "start/mine");
    places.option.reset();
    places.environment = "../environment";
    EXPECT_EQ(DataDirectory::find(places), tree.root / "environment");
}

TEST(DataDirectoryTest, AFolderTheUserNamedMustHoldTheData)
{
    Tree tree;
    tree.empty("option");
    tree.empty("environment");
    DataDirectory::Places places = tree.places();
    // No quiet fall-back to another copy of the game.
    EXPECT_EQ(failure(places), (tree.root / "option").string() +
                                   ": no game data in the folder given with --data: it has no res folder");
    places.option.reset();
    EXPECT_EQ(failure(places), (tree.root / "environment").string() +
                                   ": no game data in the folder named by TARNWICK_DATA: it has no res folder");
}

// The message says what the named folder lacks, not which file was looked for.
TEST(DataDirectoryTest, TheMessageSaysWhatTheNamedFolderLacks)
{
    Tree tree;
    tree.empty("start");
    tree.dir.write("start/file", "");
    tree.dir.write("start/half/res/txt/boss0.xml", "<dialogue/>");
    tree.dir.write("start/whole/res/maps/testmap.json", "{}");
    const struct {
        const char* given;
        const char* lack;
    } cases[] = {
        {"missing", "there is no such folder"},
        {"file", "it is a file, not a folder"},
        {".", "it has no res folder"},
        {"half", "its res folder has no map (maps/testmap.json)"},
        {"whole/res", "it is the res folder itself: name the folder that holds it"},
    };
    for (const auto& c : cases) {
        DataDirectory::Places places = tree.places();
        places.option = c.given;
        const std::string message = failure(places);
        const std::string head = ": no game data in the folder given with --data: ";
        EXPECT_EQ(message.substr(message.find(head) + head.size()), c.lack) << message;
    }
}

TEST(DataDirectoryTest, NoDataAnywhereSaysWhereItLooked)
{
    Tree tree;
    DataDirectory::Places places = tree.places();
    places.option.reset();
    places.environment.reset();
    tree.empty("prefix/share/games/tarnwick");
    tree.empty("start");
    const std::string tail = "; name its folder with --data DIR or TARNWICK_DATA";
    EXPECT_EQ(failure(places), "no game data (a res folder with the map) in " + tree.installed.string() +
                                   " (installed) or " + (tree.root / "start").string() + " (current folder)" + tail);
    places.executable.clear();
    EXPECT_EQ(failure(places), "no game data (a res folder with the map) in " + (tree.root / "start").string() +
                                   " (current folder)" + tail);
}

TEST(DataDirectoryTest, OnlyAFolderWithTheMapFileHoldsData)
{
    ResourceDir dir;
    const fs::path root = dir.path();
    EXPECT_FALSE(DataDirectory::holdsData(root / "nowhere"));
    dir.write("bare/res/txt/boss0.xml", "<dialogue/>");
    EXPECT_FALSE(DataDirectory::holdsData(root / "bare"));
    fs::create_directories(root / "odd/res/maps/testmap.json");  // a folder by that name
    EXPECT_FALSE(DataDirectory::holdsData(root / "odd"));
    dir.write("game/res/maps/testmap.json", "");
    EXPECT_TRUE(DataDirectory::holdsData(root / "game"));
}

TEST(DataDirectoryTest, InstalledDataLiesBesideTheProgram)
{
    EXPECT_EQ(DataDirectory::installedFolder("/opt/x/games/tarnwick"), fs::path("/opt/x/share/games/tarnwick"));
    EXPECT_EQ(DataDirectory::installedFolder(""), fs::path());
    // This very test program: the system says where it is.
    const fs::path self = DataDirectory::currentExecutable();
    EXPECT_TRUE(self.is_absolute()) << self;
    EXPECT_TRUE(fs::is_regular_file(self)) << self;
}

TEST(DataDirectoryTest, EnteringMakesTheDataFolderCurrent)
{
    Tree tree;
    DataDirectory::enter((tree.root / "option").string());
    EXPECT_EQ(fs::current_path(), tree.root / "option");
    EXPECT_THROW(DataDirectory::enter((tree.root / "nothing").string()), std::runtime_error);
    EXPECT_EQ(fs::current_path(), tree.root / "option");
}

// A program still in the folder it was built in reaches back to its checkout;
// an installed or copied one never does.
TEST(DataDirectoryTest, OnlyAProgramInItsBuildFolderFindsItsCheckout)
{
    const struct {
        const char* executable;
        const char* build;
        const char* checkout; // expected; "" none
    } cases[] = {
        {"/src/game/build/tarnwick", "/src/game/build", "/src/game"},
        {"/src/game/build/tests/test_launch", "/src/game/build", "/src/game"},
        {"/src/game/build/tarnwick", "/src/game/build/", "/src/game"},
        {"/src/game/build-play/tarnwick", "/src/game/build", ""},  // another build folder
        {"/usr/local/games/tarnwick", "/src/game/build", ""},      // installed
        {"/src/game/tarnwick", "/src/game/build", ""},             // copied out of it
        {"", "/src/game/build", ""},                               // the system did not say
        {"/src/game/build/tarnwick", "", ""},                      // built without the folders
    };
    for (const auto& c : cases)
        EXPECT_EQ(DataDirectory::checkoutOf(c.executable, c.build, *c.build ? "/src/game" : ""),
                  fs::path(c.checkout))
            << c.executable << " built in " << c.build;

    // This very test program runs in the build folder of the checkout.
    const char* source = std::getenv("TARNWICK_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    const fs::path checkout = DataDirectory::checkoutOf(DataDirectory::currentExecutable());
    EXPECT_EQ(fs::weakly_canonical(checkout), fs::weakly_canonical(source));
    EXPECT_TRUE(DataDirectory::holdsData(checkout));
}

// The checkout is the last place looked at, and named when it has no data.
TEST(DataDirectoryTest, TheCheckoutComesAfterEveryOtherPlace)
{
    Tree tree;
    tree.dir.write("checkout/res/maps/testmap.json", "{}");
    DataDirectory::Places places = tree.places();
    places.checkout = tree.root / "checkout";
    places.option.reset();
    places.environment.reset();
    EXPECT_EQ(DataDirectory::find(places), tree.installed);
    tree.empty("prefix/share/games/tarnwick");
    EXPECT_EQ(DataDirectory::find(places), tree.root / "start");
    tree.empty("start");
    EXPECT_EQ(DataDirectory::find(places), tree.root / "checkout");
    tree.empty("checkout");
    EXPECT_EQ(failure(places), "no game data (a res folder with the map) in " + tree.installed.string() +
                                   " (installed) or " + (tree.root / "start").string() + " (current folder) or " +
                                   (tree.root / "checkout").string() +
                                   " (the checkout it was built from); name its folder with --data DIR or TARNWICK_DATA");
}

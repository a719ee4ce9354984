// Settings, the endings reached, the files the game writes, and a world's identity.
#include "disk/AtomicFile.h"
#include "disk/EndingsFile.h"
#include "disk/Settings.h"
#include "TestSupport.h"
#include "disk/WorldIdentity.h"
#include "disk/XdgDirs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using testing_support::ResourceDir;

namespace {
std::string slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Points the XDG variables into a temporary tree for one test.
class Home {
public:
    Home()
    {
        saveVar("XDG_CONFIG_HOME", config);
        saveVar("XDG_DATA_HOME", data);
        ::setenv("XDG_CONFIG_HOME", (fs::path(dir.path()) / "config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (fs::path(dir.path()) / "data").c_str(), 1);
        Settings::clear();
    }
    ~Home()
    {
        restore("XDG_CONFIG_HOME", config);
        restore("XDG_DATA_HOME", data);
        Settings::clear();
    }
    ResourceDir dir;

private:
    static void saveVar(const char* name, std::optional<std::string>& into)
    {
        if (const char* v = std::getenv(name))
            into = v;
    }
    static void restore(const char* name, const std::optional<std::string>& value)
    {
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    std::optional<std::string> config, data;
};
}

TEST(XdgDirsTest, VariablesWinOnlyWhenAbsolute)
{
    Home home;
    const std::string realHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", "/home/player", 1);
    struct Case {
        const char* config;
        const char* data;
        const char* wantConfig;
        const char* wantData;
    } cases[] = {
        {"/x/conf", "/x/data", "/x/conf", "/x/data"},
        {"", "", "/home/player/.config", "/home/player/.local/share"},
        {"relative/conf", "rel", "/home/player/.config", "/home/player/.local/share"},
    };
    for (const Case& c : cases) {
        ::setenv("XDG_CONFIG_HOME", c.config, 1);
        ::setenv("XDG_DATA_HOME", c.data, 1);
        EXPECT_EQ(XdgDirs::configHome(), fs::path(c.wantConfig)) << c.config;
        EXPECT_EQ(XdgDirs::dataHome(), fs::path(c.wantData)) << c.data;
    }
    ::setenv("HOME", realHome.c_str(), 1);
}

TEST(AtomicFileTest, ReplacesWholeOrNotAtAll)
{
    ResourceDir dir;
    const fs::path target = fs::path(dir.path()) / "deep" / "folder" / "save.txt";
    std::string why;
    ASSERT_TRUE(AtomicFile::write(target, "first\n", &why)) << why;
    ASSERT_TRUE(AtomicFile::write(target, "second\n", &why)) << why;
    EXPECT_EQ(slurp(target), "second\n");
    // Nothing is left behind beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(target.parent_path()), fs::directory_iterator()), 1);

    // A folder that cannot be written: the old file stays, and the reason is given.
    if (::geteuid() != 0) {
        fs::permissions(target.parent_path(), fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(AtomicFile::write(target, "third\n", &why));
        EXPECT_NE(why.find("cannot"), std::string::npos);
        fs::permissions(target.parent_path(), fs::perms::owner_all);
        EXPECT_EQ(slurp(target), "second\n");
    }
    // A target that is a folder cannot be replaced; no temporary file stays.
    fs::create_directories(fs::path(dir.path()) / "isdir");
    EXPECT_FALSE(AtomicFile::write(fs::path(dir.path()) / "isdir", "x", &why));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

TEST(SettingsTest, ReadsWhatPeopleWrite)
{
    Home home;
    ASSERT_EQ(Settings::parse("# mine\n[video]\n scale = 3 \nfullscreen=yes\n\n; more\n[keys]\nup = W, Up\n"
                              "up = I\n[audio]\nmaster = 140\nmusic = loud\n"),
              "");
    EXPECT_EQ(Settings::getInt("video", "scale", 0, 0, 8), 3);
    EXPECT_TRUE(Settings::getBool("video", "fullscreen", false));
    EXPECT_EQ(Settings::get("keys", "up"), "I"); // the last one given counts
    EXPECT_EQ(Settings::getInt("audio", "master", 100, 0, 100), 100); // out of range
    EXPECT_EQ(Settings::getInt("audio", "music", 70, 0, 100), 70);    // not a number
    EXPECT_EQ(Settings::get("nowhere", "nothing", "dflt"), "dflt");
    EXPECT_EQ(Settings::keys("video"), (std::vector<std::string>{"scale", "fullscreen"}));

    // What is written reads back the same.
    Settings::setBool("game", "goal_line", false);
    Settings::remove("video", "scale");
    const std::string text = Settings::text();
    ASSERT_EQ(Settings::parse(text), "");
    EXPECT_EQ(Settings::text(), text);
    EXPECT_FALSE(Settings::getBool("game", "goal_line", true));
    EXPECT_EQ(Settings::getInt("video", "scale", 0, 0, 8), 0);
}

TEST(SettingsTest, AFileThatCannotBeReadGivesTheDefaultsAndOneLine)
{
    struct Case {
        const char* what;
        std::string contents; // empty: made below
        const char* said;
    } cases[] = {
        {"garbage line", "[video]\nscale 3\n", "line 2 is not 'name = value'"},
        {"open section", "[video\nscale = 3\n", "line 1 is not a [section]"},
        {"section without a name", "[keys]\nup = I\n[ ]\ndown = K\n", "line 3 is not a [section]"},
        {"binary", std::string("scale = 3\n\0\x01", 12), "not text"},
        {"huge", std::string(Settings::maxBytes + 1, '#'), "larger than"},
        {"folder", "", "not a regular file"},
    };
    for (const Case& c : cases) {
        Home home;
        const fs::path file = Settings::file();
        fs::create_directories(file.parent_path());
        if (c.contents.empty())
            fs::create_directories(file);
        else
            std::ofstream(file, std::ios::binary) << c.contents;
        Settings::set("video", "scale", "5"); // whatever was there before goes
        const std::string said = Settings::load();
        EXPECT_NE(said.find(c.said), std::string::npos) << c.what << ": " << said;
        EXPECT_EQ(said.find('\n'), std::string::npos) << c.what;
        EXPECT_EQ(Settings::getInt("video", "scale", 0, 0, 8), 0) << c.what;
        if (c.contents.empty())
            continue;
        // Saving keeps the player's broken file beside the new one.
        Settings::setInt("video", "scale", 2);
        ASSERT_TRUE(Settings::save()) << c.what;
        EXPECT_EQ(slurp(file.string() + ".broken"), c.contents) << c.what;
        EXPECT_EQ(Settings::load(), "") << c.what;
        EXPECT_EQ(Settings::getInt("video", "scale", 0, 0, 8), 2) << c.what;
    }
    Home home;
    EXPECT_EQ(Settings::load(), ""); // no file yet: defaults, nothing said
}

TEST(WorldIdentityTest, FollowsTheStoryNotThePictures)
{
    ResourceDir dir;
    dir.write("res/maps/testmap.json", "{\"map\": 1}");
    dir.write("res/txt/boss0.xml", "<dialogue/>");
    dir.write("res/gfx/player.png", "picture");
    dir.write("res/gfx/people.tsj", "{\"tileset\": 1}");
    const std::string first = WorldIdentity::of(dir.path());
    EXPECT_EQ(first.size(), 16u);
    EXPECT_EQ(WorldIdentity::of(dir.path()), first);

    dir.write("res/gfx/player.png", "another picture");
    EXPECT_EQ(WorldIdentity::of(dir.path()), first);

    const std::pair<const char*, const char*> changes[] = {
        {"res/txt/boss0.xml", "<dialogue><text/></dialogue>"},
        {"res/txt/new.xml", ""},
        {"res/maps/testmap.json", "{\"map\": 2}"},
        {"res/gfx/people.tsj", "{\"tileset\": 2}"},
    };
    std::string before = first;
    for (const auto& [file, text] : changes) {
        dir.write(file, text);
        const std::string now = WorldIdentity::of(dir.path());
        EXPECT_NE(now, before) << file;
        before = now;
    }
}

// The endings reached, as a later run reads them back: what each history of
// the file leaves, and what the player is told.
TEST(EndingsFileTest, RemembersEachEndingOnceAcrossRuns)
{
    struct Case {
        const char* what;
        const char* before;       // the file's contents before the run; null: no file
        std::vector<int> reach;   // endings reached in this run, in order
        std::vector<bool> fresh;  // what record() says of each
        std::vector<int> after;   // what the next run reads
        const char* said;         // what the run says on stderr ("" nothing)
    } cases[] = {
        {"none yet", nullptr, {}, {}, {}, ""},
        {"one", nullptr, {2}, {true}, {2}, ""},
        {"same twice", nullptr, {2, 2}, {true, false}, {2}, ""},
        {"two", nullptr, {3, 1}, {true, true}, {1, 3}, ""},
        {"kept from before", "# note\n1\n\n 3 \n", {3, 2}, {false, true}, {1, 2, 3}, ""},
        {"corrupted", "1\nthree\n", {}, {}, {}, "line 2 is not an ending's number"},
        {"corrupted, then one", "1\n-2\n", {1}, {true}, {1}, "line 2 is not an ending's number"},
        {"out of range", "100\n", {}, {}, {}, "line 1 is not"},
        {"binary", "1\n\0", {}, {}, {}, "not text"},
    };
    for (const Case& c : cases) {
        ResourceDir dir;
        const fs::path folder = fs::path(dir.path()) / "data/tarnwick";
        if (c.before) {
            fs::create_directories(folder);
            std::ofstream(folder / "endings.txt", std::ios::binary)
                << std::string(c.before, std::string(c.what) == "binary" ? 3 : std::strlen(c.before));
        }
        testing::internal::CaptureStderr();
        EndingsFile run(folder);
        const std::string said = testing::internal::GetCapturedStderr();
        if (*c.said) {
            EXPECT_NE(said.find(c.said), std::string::npos) << c.what << ": " << said;
            EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << c.what << ": " << said;
        } else {
            EXPECT_EQ(said, "") << c.what;
        }
        for (std::size_t k = 0; k < c.reach.size(); ++k) {
            std::string why = "stale";
            EXPECT_EQ(run.record(c.reach[k], &why), c.fresh[k]) << c.what << ": ending " << c.reach[k];
            EXPECT_EQ(why, "") << c.what;
        }
        testing::internal::CaptureStderr();
        const EndingsFile next(folder);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.reach.empty() ? said : "") << c.what;
        EXPECT_EQ(next.list(), c.after) << c.what;
        EXPECT_EQ(next.count(), c.after.size()) << c.what;
        if (c.before && *c.said && !c.reach.empty()) {
            // The unreadable file is kept beside the new one.
            EXPECT_EQ(slurp(folder / "endings.txt.broken").substr(0, 2), std::string(c.before).substr(0, 2))
                << c.what;
        }
    }
}

// The endings sit beside the save, in a file a new game never touches.
TEST(EndingsFileTest, LiveBesideTheSaveInTheDataFolder)
{
    Home home;
    EndingsFile endings;
    EXPECT_EQ(endings.file(), fs::path(home.dir.path()) / "data/tarnwick/endings.txt");
    EXPECT_TRUE(endings.record(1));
    fs::remove(fs::path(home.dir.path()) / "data/tarnwick/save.txt");
    EXPECT_EQ(EndingsFile().list(), std::vector<int>{1});
}

// A data folder that cannot be read or written: no endings, one line, and a
// record that says why it was not kept while still counting for this run.
TEST(EndingsFileTest, AnUnusableFolderCountsNoneAndSaysWhy)
{
    ResourceDir dir;
    const fs::path folder = fs::path(dir.path()) / "blocked";
    dir.write("blocked", "a file where the folder should be");
    testing::internal::CaptureStderr();
    EndingsFile endings(folder);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("cannot be read"), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_EQ(endings.count(), 0u);
    std::string why;
    EXPECT_TRUE(endings.record(2, &why));
    EXPECT_NE(why, "");
    EXPECT_EQ(endings.list(), std::vector<int>{2});
    // The same ending again: still not kept, so it is tried again.
    EXPECT_FALSE(endings.record(2, &why));
    EXPECT_NE(why, "");
    EXPECT_FALSE(endings.record(0, &why));
    EXPECT_NE(why, "");
}

// The saved game: written as the story changes, read back exactly, and safe
// from whatever the disk holds or refuses.
#include "core/Game.h"
#include "world/MainState.h"
#include "story/SaveGame.h"
#include "StoryDriver.h"
#include "story/StoryState.h"
#include "TestSupport.h"
#include "characters/Victim.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// Files set aside next to the save, by name.
std::vector<std::string> setAside()
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(SaveGame::folder(), error))
        if (entry.path().filename().string().find(".unusable-") != std::string::npos)
            names.push_back(entry.path().filename().string());
    return names;
}

class SaveGameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetGame();
        writeStoryWorld(dir);
        home = fs::path(dir.path()) / "home";
        fs::create_directories(home);
        setenv("XDG_DATA_HOME", home.c_str(), 1);
        SaveGame::enabled = true;
        SaveGame::lastError.clear();
    }
    void TearDown() override
    {
        resetGame();
        SaveGame::enabled = false;
        unsetenv("XDG_DATA_HOME");
    }

    MainState* newWorld()
    {
        resetGame();
        Game::running = true;
        auto* world = new MainState();
        Game::currentState = world;
        return world;
    }
    Entity* at(GameState* world, int column, int row)
    {
        for (Entity* e : world->entities)
            if (e->x == 32 * column && e->y == 32 * row && e->type != "floor")
                return e;
        return nullptr;
    }
    // A save of a world in which Ann gave her item and the boss spoke.
    std::string goodSave()
    {
        MainState* world = newWorld();
        StoryDriver driver(world);
        EXPECT_TRUE(driver.visit(at(world, 1, 1), 1));
        EXPECT_TRUE(driver.visit(at(world, 1, 4)));
        EXPECT_TRUE(fs::exists(SaveGame::file()));
        return readFile(SaveGame::file());
    }

    ResourceDir dir;
    fs::path home;
};

TEST_F(SaveGameTest, EveryStoryChangeIsSavedAndTheBackupIsTheOneBefore)
{
    EXPECT_FALSE(SaveGame::inspect().exists);
    MainState* world = newWorld();
    StoryDriver driver(world);
    ASSERT_TRUE(driver.visit(at(world, 1, 1), 2)); // Ann keeps her item: nothing to save
    EXPECT_FALSE(fs::exists(SaveGame::file()));
    ASSERT_TRUE(driver.visit(at(world, 1, 1), 1));
    const std::string first = readFile(SaveGame::file());
    EXPECT_NE(first.find("victims = gave kept kept"), std::string::npos) << first;
    EXPECT_NE(first.find("format = 2"), std::string::npos);
    EXPECT_NE(first.find("world = " + SaveGame::worldIdentity()), std::string::npos);
    ASSERT_TRUE(driver.visit(at(world, 1, 4)));
    EXPECT_EQ(readFile(SaveGame::backupFile()), first);
    const std::optional<StoryState> saved = SaveGame::read(SaveGame::file(), SaveGame::worldIdentity(), nullptr);
    ASSERT_TRUE(saved);
    StoryState now = StoryState::capture(*world);
    EXPECT_GT(now.playedSteps, saved->playedSteps); // the world went on after the conversation
    now.playedSteps = saved->playedSteps;
    EXPECT_EQ(now, *saved);
    const std::string goal = world->goalLine.text();

    SaveGame::Slot slot = SaveGame::inspect();
    EXPECT_TRUE(slot.exists && slot.usable && !slot.fromBackup);
    EXPECT_EQ(slot.part, 0);
    EXPECT_EQ(slot.playedSteps, saved->playedSteps);
    MainState* fresh = newWorld();
    ASSERT_TRUE(SaveGame::restore(*fresh)) << SaveGame::lastError;
    EXPECT_EQ(StoryState::capture(*fresh), *saved);
    EXPECT_EQ(fresh->goalLine.text(), goal);
    EXPECT_TRUE(setAside().empty());
}

// What the player sees for each save that cannot be used: Continue shows the
// reason; the file is kept aside; the backup stands in when it is sound.
TEST_F(SaveGameTest, AnUnusableSaveIsSetAsideAndTheBackupOffered)
{
    const std::string good = goodSave();
    const std::string backup = readFile(SaveGame::backupFile());
    const auto edited = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        return text.replace(text.find(from), from.size(), to);
    };
    const struct {
        const char* name;
        std::function<void()> make;
        const char* shown;
    } cases[] = {
        {"empty", [&] { writeFile(SaveGame::file(), ""); }, "not a saved game"},
        {"cut short", [&] { writeFile(SaveGame::file(), good.substr(0, good.size() - 30)); }, "cut short"},
        {"cut in the last number", [&] { writeFile(SaveGame::file(), good.substr(0, good.size() - 3)); }, "damaged"},
        {"garbage", [&] { writeFile(SaveGame::file(), std::string("\x89PNG\r\n\x1a\n\0\0", 10)); }, "not a saved game"},
        {"a flipped digit", [&] { writeFile(SaveGame::file(), edited("part = 0", "part = 1")); }, "check does not match"},
        {"another world", [&] { writeFile(SaveGame::file(), edited("world = ", "world = 0")); }, "another world"},
        {"a newer format", [&] { writeFile(SaveGame::file(), edited("format = 2", "format = 3")); }, "newer version"},
        {"a format in words", [&] { writeFile(SaveGame::file(), edited("format = 2", "format = one")); }, "not a number"},
        {"an edited log", [&] { writeFile(SaveGame::file(), edited("talk = ", "talk = X")); }, "check does not match"},
        {"a stray backslash", [&] { writeFile(SaveGame::file(), edited("talk = ", "talk = \\q")); }, "stray backslash"},
        {"a folder", [&] { fs::remove(SaveGame::file()); fs::create_directory(SaveGame::file()); }, "not a regular file"},
        {"a pipe", [&] { fs::remove(SaveGame::file()); mkfifo(SaveGame::file().c_str(), 0600); }, "not a regular file"},
        {"huge", [&] { writeFile(SaveGame::file(), good + std::string(SaveGame::maxBytes, '#')); }, "too large"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const std::string& name : setAside())
            fs::remove_all(SaveGame::folder() / name);
        writeFile(SaveGame::backupFile(), backup);
        c.make();
        const SaveGame::Slot slot = SaveGame::inspect();
        EXPECT_TRUE(slot.exists);
        EXPECT_TRUE(slot.usable);
        EXPECT_TRUE(slot.fromBackup);
        EXPECT_NE(slot.reason.find(c.shown), std::string::npos) << slot.reason;
        EXPECT_EQ(slot.reason.find('\n'), std::string::npos);
        EXPECT_EQ(slot.part, -1); // the backup: before the boss spoke
        EXPECT_EQ(setAside().size(), 1u);
        EXPECT_FALSE(fs::exists(fs::symlink_status(SaveGame::file())));

        // Without a sound backup nothing is loaded, and Continue stays, not
        // usable, saying why.
        fs::remove(SaveGame::backupFile());
        c.make();
        MainState* world = newWorld();
        EXPECT_FALSE(SaveGame::restore(*world));
        EXPECT_NE(SaveGame::lastError.find(c.shown), std::string::npos) << SaveGame::lastError;
        EXPECT_EQ(Game::part, -1) << "nothing of it was loaded";
        const SaveGame::Slot alone = SaveGame::inspect();
        EXPECT_TRUE(alone.exists);
        EXPECT_FALSE(alone.usable);
        EXPECT_NE(alone.reason.find(c.shown), std::string::npos) << alone.reason;
        EXPECT_EQ(setAside().size(), 2u) << "nothing was lost";
    }
}

// A save the world cannot take (a consistent file that names too few tables)
// is refused whole at Continue and set aside like any other.
TEST_F(SaveGameTest, ASaveTheWorldCannotTakeIsRefusedWhole)
{
    goodSave();
    fs::remove(SaveGame::backupFile());
    std::optional<StoryState> state = SaveGame::read(SaveGame::file(), SaveGame::worldIdentity(), nullptr);
    ASSERT_TRUE(state);
    state->tables.pop_back();
    writeFile(SaveGame::file(), SaveGame::compose(*state, SaveGame::worldIdentity()));
    MainState* world = newWorld();
    const std::vector<std::string> before = describeEntities(*world);
    EXPECT_FALSE(SaveGame::restore(*world));
    EXPECT_NE(SaveGame::lastError.find("does not name"), std::string::npos) << SaveGame::lastError;
    EXPECT_EQ(describeEntities(*world), before);
    EXPECT_EQ(setAside().size(), 1u);
}

// A write that fails keeps the save before it and says so in a short line.
void expectFailedWriteKeepsTheSave(MainState* world, const fs::path& saved, const std::string& before)
{
    StoryDriver driver(world);
    SaveGame::lastError.clear();
    Entity* bea = nullptr;
    for (Entity* e : world->entities)
        if (e->name == "Bea")
            bea = e;
    ASSERT_TRUE(driver.visit(bea, 1));
    EXPECT_FALSE(SaveGame::lastError.empty());
    EXPECT_EQ(SaveGame::lastError.find('\n'), std::string::npos);
    EXPECT_EQ(readFile(saved), before);
    EXPECT_FALSE(SaveGame::save(*world));
}

TEST_F(SaveGameTest, AFullDiskKeepsThePreviousSave)
{
    fs::create_directories(SaveGame::folder());
    const bool mounted = mount("tarnwick-test", SaveGame::folder().c_str(), "tmpfs", 0, "size=16k") == 0;
    struct rlimit was {};
    if (!mounted) {
        // Without the right to mount a small file system: a limit on the size
        // of any file written stands in for the full disk.
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &was);
    }
    const std::string good = goodSave();
    MainState* world = static_cast<MainState*>(Game::currentState);
    if (mounted) {
        // Fill it up, a page at a time.
        for (int i = 0; i < 16; ++i)
            writeFile(SaveGame::folder() / ("filler" + std::to_string(i)), std::string(4096, 'x'));
    } else {
        struct rlimit small = was;
        small.rlim_cur = 16;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    expectFailedWriteKeepsTheSave(world, SaveGame::file(), good);
    EXPECT_TRUE(SaveGame::inspect().usable);
    if (mounted) {
        for (int i = 0; i < 16; ++i)
            fs::remove(SaveGame::folder() / ("filler" + std::to_string(i)));
    } else {
        setrlimit(RLIMIT_FSIZE, &was);
    }
    EXPECT_TRUE(SaveGame::save(*world)) << SaveGame::lastError;
    EXPECT_TRUE(SaveGame::lastError.empty());
    resetGame();
    if (mounted)
        EXPECT_EQ(umount(SaveGame::folder().c_str()), 0);
    else
        std::cout << "note: not allowed to mount a tmpfs here; a file size limit stood in for the full disk\n";
}

TEST_F(SaveGameTest, AReadOnlyFolderKeepsThePreviousSave)
{
    const std::string good = goodSave();
    MainState* world = static_cast<MainState*>(Game::currentState);
    // Permissions do not stop root: a read-only mount of the folder does.
    const bool mounted = mount(SaveGame::folder().c_str(), SaveGame::folder().c_str(), nullptr, MS_BIND, nullptr) == 0
                         && mount(nullptr, SaveGame::folder().c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
    if (!mounted)
        fs::permissions(SaveGame::folder(), fs::perms::owner_read | fs::perms::owner_exec);
    expectFailedWriteKeepsTheSave(world, SaveGame::file(), good);
    if (mounted)
        EXPECT_EQ(umount(SaveGame::folder().c_str()), 0);
    else
        fs::permissions(SaveGame::folder(), fs::perms::owner_all);
    EXPECT_TRUE(SaveGame::save(*world)) << SaveGame::lastError;
}

} // namespace

#include "story/SaveGame.h"

#include "i18n/Catalogue.h"

#include "disk/AtomicFile.h"
#include "world/MainState.h"
#include "story/StoryRules.h"
#include "story/StoryState.h"
#include "disk/WorldIdentity.h"
#include "disk/XdgDirs.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

std::string SaveGame::lastError;
bool SaveGame::enabled = true;

namespace {

// Why a save was set aside earlier in this run, while nothing usable replaced
// it: the title keeps saying so.
std::string setAsideNote;

// The story without where the player stands and the time played: what a
// conversation can change.
std::string storyOnly(StoryState state)
{
    state.column = state.row = 0;
    state.facing = 1;
    state.playedSteps = 0;
    return state.toText();
}

// Why a save cannot be used, and where it was put aside if it was.
std::string unusable(const std::string& why, bool kept, const std::string& movedTo)
{
    return kept ? fill(tr("The save could not be used: {why} (kept as {file})"), {{"why", why}, {"file", movedTo}})
                : fill(tr("The save could not be used: {why}"), {{"why", why}});
}

// Moves an unusable file out of the way under a name with the time: it is
// kept for whoever wants to look at it, and never overwritten.
bool setAside(const fs::path& path, std::string* movedTo)
{
    char stamp[32] = "";
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local))
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    for (int n = 1; n < 100; ++n) {
        fs::path target = path;
        target += std::string(".unusable-") + stamp + (n > 1 ? "-" + std::to_string(n) : "");
        std::error_code error;
        if (fs::exists(fs::symlink_status(target, error)))
            continue;
        fs::rename(path, target, error);
        if (error)
            return false;
        if (movedTo)
            *movedTo = target.filename().string();
        return true;
    }
    return false;
}

// The save's check: the story's digest, taking in what the player has seen
// after it (a save of format 1, with nothing seen, has the story's alone).
std::string checkOf(const StoryState& state, const SeenSoFar& seen)
{
    return WorldIdentity::hex(WorldIdentity::fnv1a(state.toText() + seen.toText()));
}

// A line of what the player has seen ("room = Lobby") goes into `seen`:
// false when the line is the story's.
bool seenLine(const std::string& line, SeenSoFar& seen, std::string& wrong)
{
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos)
        return false;
    std::string key = line.substr(0, equals);
    key.erase(0, key.find_first_not_of(" \t"));
    key.erase(key.find_last_not_of(" \t") + 1);
    if (!SeenSoFar::isKey(key))
        return false;
    // The value as written, after the one space that follows "=".
    std::string value = line.substr(equals + 1);
    if (!value.empty() && value[0] == ' ')
        value.erase(0, 1);
    if (wrong.empty() && !seen.read(key, value, &wrong) && wrong.empty())
        wrong = "a \"" + key + "\" line cannot be read";
    return true;
}

void journal(const StoryState& state)
{
    // For the crash tests: every state saved, in order, one digest a line.
    const char* path = std::getenv("TARNWICK_SAVE_JOURNAL");
    if (!path || !*path)
        return;
    std::ofstream out(path, std::ios::app);
    out << state.digest() << '\n';
}

} // namespace

fs::path SaveGame::folder()
{
    return XdgDirs::dataHome() / "tarnwick";
}

fs::path SaveGame::file()
{
    return folder() / "save.txt";
}

fs::path SaveGame::backupFile()
{
    return folder() / "save.backup.txt";
}

std::string SaveGame::worldIdentity()
{
    try {
        return WorldIdentity::of(fs::current_path());
    } catch (const std::exception&) {
        return "";
    }
}

std::string SaveGame::compose(const StoryState& state, const std::string& world, const SeenSoFar& seen)
{
    return "# Tarnwick saved game\nformat = " + std::to_string(format) + "\nworld = " + world + "\n"
           + state.toText() + seen.toText() + "check = " + checkOf(state, seen) + "\n";
}

std::optional<StoryState> SaveGame::parse(const std::string& text, const std::string& world, std::string* why,
                                          SeenSoFar* seen)
{
    const auto fail = [&](const std::string& reason) -> std::optional<StoryState> {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    // The lines that are not comments: format, world, the story, check.
    std::istringstream in(text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t first = line.find_first_not_of(" \t");
        if (first != std::string::npos && line[first] != '#')
            lines.push_back(line);
    }
    const auto value = [&](std::size_t i, const char* key) -> std::optional<std::string> {
        if (i >= lines.size())
            return std::nullopt;
        const std::size_t equals = lines[i].find('=');
        if (equals == std::string::npos)
            return std::nullopt;
        std::string k = lines[i].substr(0, equals), v = lines[i].substr(equals + 1);
        k.erase(0, k.find_first_not_of(" \t"));
        k.erase(k.find_last_not_of(" \t") + 1);
        v.erase(0, v.find_first_not_of(" \t"));
        v.erase(v.find_last_not_of(" \t") + 1);
        if (k != key)
            return std::nullopt;
        return v;
    };
    const std::optional<std::string> version = value(0, "format");
    if (!version)
        return fail(tr("not a saved game"));
    if (*version.value().c_str() == '\0' || version->find_first_not_of("0123456789") != std::string::npos
        || version->size() > 9)
        return fail(tr("its format is not a number"));
    if (std::stoi(*version) > format)
        return fail(fill(tr("saved by a newer version of the game (format {format})"), {{"format", *version}}));
    if (std::stoi(*version) < 1)
        return fail(tr("its format is not a number"));
    const std::optional<std::string> owner = value(1, "world");
    if (!owner)
        return fail(tr("it does not say which world it belongs to"));
    if (*owner != world)
        return fail(tr("it belongs to another world (the map or the conversations have changed)"));
    const std::optional<std::string> check = lines.size() > 2 ? value(lines.size() - 1, "check") : std::nullopt;
    if (!check)
        return fail(tr("it is cut short"));
    std::string body;
    SeenSoFar found;
    std::string wrong;
    for (std::size_t i = 2; i + 1 < lines.size(); ++i)
        if (!seenLine(lines[i], found, wrong))
            body += lines[i] + "\n";
    if (!wrong.empty())
        return fail("it is damaged: " + wrong);
    std::optional<StoryState> state = StoryState::fromText(body, &wrong);
    if (!state)
        return fail(fill(tr("it is damaged: {what}"), {{"what", wrong}}));
    if (checkOf(*state, found) != *check)
        return fail(tr("it is damaged: its check does not match"));
    if (seen)
        *seen = std::move(found);
    return state;
}

std::optional<StoryState> SaveGame::read(const fs::path& path, const std::string& world, std::string* why,
                                         bool* exists, SeenSoFar* seen)
{
    const auto fail = [&](const std::string& reason) -> std::optional<StoryState> {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    const bool there = fs::exists(status) || fs::is_symlink(fs::symlink_status(path, error));
    if (exists)
        *exists = there;
    if (!there)
        return fail(tr("there is no save"));
    // A pipe or a device would block or never end: not opened.
    if (!fs::is_regular_file(status))
        return fail(tr("it is not a regular file"));
    const std::uintmax_t size = fs::file_size(path, error);
    if (error)
        return fail(tr("it cannot be read"));
    if (size > maxBytes)
        return fail(tr("it is far too large"));
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return fail(tr("it cannot be read"));
    std::string text(static_cast<std::size_t>(size), '\0');
    in.read(text.data(), static_cast<std::streamsize>(size));
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (in.bad())
        return fail(tr("it cannot be read"));
    return parse(text, world, why, seen);
}

SaveGame::Slot SaveGame::inspect()
{
    Slot slot;
    try {
        const std::string world = worldIdentity();
        std::string why;
        bool exists = false;
        if (const std::optional<StoryState> state = read(file(), world, &why, &exists)) {
            slot.exists = slot.usable = true;
            slot.part = state->part;
            slot.playedSteps = state->playedSteps;
            return slot;
        }
        if (exists) {
            std::string movedTo;
            setAsideNote = unusable(why, setAside(file(), &movedTo), movedTo);
        }
        std::string backupWhy;
        bool backupExists = false;
        if (const std::optional<StoryState> state = read(backupFile(), world, &backupWhy, &backupExists)) {
            slot.exists = slot.usable = slot.fromBackup = true;
            slot.part = state->part;
            slot.playedSteps = state->playedSteps;
            slot.reason = setAsideNote.empty()
                              ? tr("Continuing from the backup.")
                              : fill(tr("{why}; the backup is offered."), {{"why", setAsideNote}});
            return slot;
        }
        if (backupExists)
            setAside(backupFile(), nullptr);
        if (!setAsideNote.empty()) {
            slot.exists = true;
            slot.reason = fill(tr("{why}."), {{"why", setAsideNote}});
        }
    } catch (const std::exception& error) {
        slot.exists = true;
        slot.usable = false;
        slot.reason = fill(tr("The save could not be looked at: {why}"), {{"why", error.what()}});
    }
    return slot;
}

bool SaveGame::restore(MainState& world)
{
    try {
        const std::string identity = worldIdentity();
        for (const fs::path& path : {file(), backupFile()}) {
            std::string why;
            bool exists = false;
            SeenSoFar seen;
            std::optional<StoryState> state = read(path, identity, &why, &exists, &seen);
            if (state && state->apply(world, &why)) {
                world.seen = std::move(seen);
                world.storySaved = storyOnly(*state);
                setAsideNote.clear();
                lastError.clear();
                return true;
            }
            if (exists) {
                std::string movedTo;
                setAsideNote = unusable(why, setAside(path, &movedTo), movedTo);
                lastError = setAsideNote;
            }
        }
        if (lastError.empty())
            lastError = tr("There is no saved game.");
    } catch (const std::exception& error) {
        lastError = fill(tr("The save could not be read: {why}"), {{"why", error.what()}});
    }
    return false;
}

bool SaveGame::save(const MainState& world)
{
    if (!enabled)
        return true;
    try {
        const StoryState state = StoryState::capture(world);
        // A story that has ended is not saved: Continue goes back to just
        // before its last conversation, rather than into a world where
        // nothing is left to happen.
        if (StoryRules::storyEnds(state)) {
            lastError.clear();
            return true;
        }
        return store(state, world.seen);
    } catch (const std::exception& error) {
        lastError = fill(tr("Not saved: {why}"), {{"why", error.what()}});
        return false;
    }
}

bool SaveGame::keepEndingMoment(const MainState& world)
{
    if (!enabled)
        return true;
    try {
        const StoryState now = StoryState::capture(world);
        std::optional<StoryState> moment = read(file(), worldIdentity(), nullptr);
        // Nothing saved before the last conversation (saving failed, or the
        // save was taken away): nothing to offer again.
        if (!moment || StoryRules::storyEnds(*moment) || !StoryRules::storyEnds(now)) {
            lastError.clear();
            return true;
        }
        // The story as it stood before the last conversation, the player where
        // he stood for it (he does not move while it lasts) and the time
        // played up to its end, as the closing card shows it.
        moment->column = now.column;
        moment->row = now.row;
        moment->facing = now.facing;
        moment->playedSteps = std::max(moment->playedSteps, now.playedSteps);
        return store(*moment, world.seen);
    } catch (const std::exception& error) {
        lastError = fill(tr("Not saved: {why}"), {{"why", error.what()}});
        return false;
    }
}

bool SaveGame::store(const StoryState& state, const SeenSoFar& seen)
{
    const std::string identity = worldIdentity();
    if (identity.empty()) {
        lastError = tr("Not saved: the game's data cannot be read.");
        return false;
    }
    const std::string text = compose(state, identity, seen);
    std::string why;
    bool exists = false;
    SeenSoFar oldSeen;
    if (const std::optional<StoryState> old = read(file(), identity, &why, &exists, &oldSeen)) {
        if (*old == state && oldSeen == seen) {
            lastError.clear();
            return true;
        }
        // The save about to be replaced becomes the backup.
        if (!AtomicFile::write(backupFile(), compose(*old, identity, oldSeen), &why)) {
            lastError = fill(tr("Not saved: {why}"), {{"why", why}});
            return false;
        }
    } else if (exists) {
        std::string movedTo;
        if (!setAside(file(), &movedTo)) {
            lastError = tr("Not saved: an unusable save is in the way and cannot be moved aside.");
            return false;
        }
    }
    if (!AtomicFile::write(file(), text, &why)) {
        lastError = fill(tr("Not saved: {why}"), {{"why", why}});
        return false;
    }
    journal(state);
    setAsideNote.clear();
    lastError.clear();
    return true;
}

void SaveGame::storyChanged(MainState& world)
{
    if (!enabled)
        return;
    const std::string now = storyOnly(StoryState::capture(world));
    if (world.storySaved.empty()) {
        // Nothing saved from this world yet: compared with how it began.
        world.storySaved = storyOnly(StoryState::begin(world.cast));
    }
    if (now == world.storySaved)
        return;
    if (save(world))
        world.storySaved = now;
}

#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/Window/Keyboard.hpp>

#include <initializer_list>
#include <string>
#include <vector>

class DialogueBox;
class DialogueTree;
class Entity;
class GameState;

namespace testing_support {

// A fresh working directory holding a small resource tree of the test's own.
// The process works inside it until the object goes away.
class ResourceDir {
public:
    ResourceDir();
    ~ResourceDir();
    ResourceDir(const ResourceDir&) = delete;
    ResourceDir& operator=(const ResourceDir&) = delete;

    // Writes text to a path relative to the directory, making folders as needed.
    void write(const std::string& path, const std::string& text) const;
    // Writes a PNG of width x height pixels; every 32 x 32 tile (or tileSize) gets its own colour.
    void image(const std::string& path, unsigned width, unsigned height, unsigned tileSize = 32) const;

    const std::string& path() const { return root; }

private:
    std::string root;
    std::string previous;
};

// The colour image() gives tile number n.
sf::Color tileColour(unsigned n);

// A one-line conversation, or one with options whose responses are one line each.
std::string leafXml(const std::string& line);

// A complete goal file whose lines name their situation ("part1 livery 2/0"
// for part 1 while the warden wants 2 items and 0 are worn), with the endings
// "first", "second" and "third".
std::string goalsIni();

// Writes a world of three cells into `dir`: a talking sign, the player
// (facing it) and floor, with its pictures, conversation and goal file.
void signWorld(const ResourceDir& dir);

// Sets the key tables as the snapshot would: last frame's keys become the
// previous table, the given keys are the ones down now.
void holdKeys(std::initializer_list<sf::Keyboard::Key> keys);

// One frame as the driver runs it (after the key snapshot).
void runFrame();
// The same frame without drawing: the state's update and the release of the
// states it replaced.
void updateFrame();
// Runs frames with the given keys held; returns after `count` frames.
void runFrames(int count, std::initializer_list<sf::Keyboard::Key> keys = {});

// The box of the conversation on screen, or null when none is.
DialogueBox* openBox();
// Opens what talking to `e` opens now and closes it again without ending it;
// returns the conversation shown, or null when nothing opened.
const DialogueTree* offered(Entity* e);

// The colour of one pixel of what has been drawn into the window so far.
sf::Color windowPixel(unsigned x, unsigned y);

// Resets the driver and the story counters between tests and frees any state.
void resetGame();

// Drops a tileset from the picture store, so that the next load reads its
// file again (the game itself keeps a tileset for the whole run). No entity
// may still show one of its tiles.
void forgetTileset(const std::string& name);

// Everything the game takes from the map, one line per entity in list order:
// class, position, type, name, tileset and tile, solidity, flip, size,
// texture, conversations and a victim's part. Two loads of the same world
// give the same lines.
std::vector<std::string> describeEntities(const GameState& state);

} // namespace testing_support

namespace testing_support {

// A small world with the whole cast, in `dir`: the boss (B), the player (P),
// victims of parts 0, 1 and 2 (a, b, c) who give their items on answers 1
// and 3, three tables (x, y, z) and a room behind the warden's (W) door with
// a fourth table (t):
//   ############
//   #a.b.c#....#
//   #.....#....#
//   #.....#....#
//   #B.P..W..t.#
//   #.....#....#
//   #.....#....#
//   #x.y.z#....#
//   ############
void writeStoryWorld(const ResourceDir& dir);

} // namespace testing_support

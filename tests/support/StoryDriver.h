#pragma once

#include "replay/Recording.h"
#include "check/StoryExplorer.h"

#include <SFML/Window/Keyboard.hpp>

#include <functional>
#include <string>
#include <vector>

class DialogueBox;
class Entity;
class GameState;
class Player;

namespace testing_support {

// Plays the world the way a person does, frame by frame through the key
// tables: finds a way to a character, turns to face it, talks, pages and
// chooses. Every key action is also written down in `actions`, in the words
// the end-to-end scripts use ("step Left", "press Return", "press space",
// "press 1"), so that the same route can be played on the real binary.
//
// Frames are only updated, not drawn, unless `drawing` is set: the world
// behaves the same, and a long play-through takes a second, not minutes.
class StoryDriver {
public:
    explicit StoryDriver(GameState* world);

    Player* player() const;
    // Walks next to `target` and faces it. False when no way leads there.
    bool walkTo(const Entity* target);
    // Presses Return: talks to whatever stands in the faced tile.
    void talk();
    // Runs the open conversation (and any stacked on it) to its end, answering
    // each option list with what `choose` returns (a page still typing itself
    // out is completed first). Returns the pages read.
    int converse(const std::function<int(const DialogueBox&)>& choose);
    // Walk, talk and converse in one go. False when the target cannot be reached
    // or no conversation opened.
    bool visit(const Entity* target, int answer = 1);

    // Plays one conversation of a route the story explorer found: the walk,
    // the turn, Return, and the answers it lists. False when no conversation
    // opened there.
    bool play(const StoryExplorer::Talk& talk);

    void step(sf::Keyboard::Key key);
    void press(sf::Keyboard::Key key);
    void idle(int frames);
    void note(const std::string& text); // a comment line in `actions`

    GameState* world;
    std::vector<std::string> actions;
    bool drawing = false;
    long frames = 0; // frames run so far: at the game's 60 a second, the time played
    // The keys of every frame, as the game's --record writes them.
    Recording recording;
    // Called before every talk, in the world, and for every page and answer
    // list of a conversation before it is turned or answered.
    std::function<void()> beforeTalk;
    std::function<void(const DialogueBox&)> onPage;
    // Called after every frame.
    std::function<void()> afterFrame;

private:
    void frame();
};

} // namespace testing_support

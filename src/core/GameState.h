#pragma once

#include "render/DrawIndex.h"

#include <SFML/System/Vector2.hpp>

#include <optional>
#include <string>
#include <vector>

class Entity;
class PictureDigest;

// A screen of the game: a list of entities updated and drawn together.
class GameState {
public:
    GameState() = default;
    GameState(const GameState&) = delete;
    GameState& operator=(const GameState&) = delete;
    virtual ~GameState();

    virtual void update();
    virtual void draw();

    void add(Entity* e);
    void remove(Entity* e);
    void deleteRemoved();
    std::vector<Entity*> collide(Entity* e, sf::Vector2<int> const& offset);

    // The chain of screens: the current one (Game::currentState) may stand
    // over another (a conversation over the world, a menu over a
    // conversation). below() is the screen right below this one, or null.
    virtual GameState* below() const { return nullptr; }
    // Whether this screen releases the one below with itself (the menus, the
    // closing card); when not (a conversation, the controls screen),
    // Game::destroyChain releases it after this one.
    virtual bool ownsBelow() const { return false; }
    // The nearest screen of kind T: this one, or the first below it; null
    // when there is none.
    template <class T>
    T* find()
    {
        for (GameState* state = this; state; state = state->below())
            if (auto* found = dynamic_cast<T*>(state))
                return found;
        return nullptr;
    }
    template <class T>
    const T* find() const
    {
        for (const GameState* state = this; state; state = state->below())
            if (auto* found = dynamic_cast<const T*>(state))
                return found;
        return nullptr;
    }

    // Whether the game is being played while this screen is current: in the
    // world and in a conversation it is (the world's clock runs, the pause
    // key pauses); on a menu or the closing card it is not.
    virtual bool inPlay() const { return false; }

    // What this screen puts in the kept picture's digest (render/StillFrame),
    // before the screens below it: what it shows besides its entities, then
    // its entities (PictureDigest::addEntities). False when it cannot tell:
    // the picture is then drawn anew every time.
    virtual bool addToPictureDigest(PictureDigest& digest) const;

    // What this screen tells the replay's digest of the game's state
    // (replay/StateDigest), which must not change for the same game:
    // - the story's state as text (StoryState::toText), when this screen is
    //   the world that holds the story;
    virtual std::optional<std::string> storyText() const { return std::nullopt; }
    // - what it adds to the story's when it stands over the world (a
    //   conversation's page, the closing card's ending); false when it hides
    //   the story (a menu): the digest then takes in every screen shown;
    virtual bool addOverStory(std::string& /*text*/) const { return false; }
    // - what it adds after its entities in that digest of every screen, and
    //   whether the screens below it count too (false: it hides them).
    virtual bool addToStateDigest(std::string& /*text*/) const { return false; }

    std::vector<Entity*> entities;        // owned, in the order they were added
    std::vector<Entity*> removedEntities; // queued for destruction, still in entities
    // Which entities the draw pass looks at: those whose pictures may be in view.
    DrawIndex drawIndex;
};

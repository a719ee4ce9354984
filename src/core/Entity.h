#pragma once

#include "mapformat/MapLimits.h"

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/Transform.hpp>
#include <SFML/System/String.hpp>
#include <SFML/System/Vector2.hpp>

#include <string>

class DialogueTree;
class GameState;

// Everything that lives in a game state: the player, the characters, the map's
// tiles and the dialogue box.
class Entity {
public:
    Entity(int x, int y);
    explicit Entity(sf::Vector2<int> const& position);
    Entity(const Entity&) = delete;
    Entity& operator=(const Entity&) = delete;
    virtual ~Entity();

    virtual void update();
    // Puts the sprite into the frame's sprite batch (SpriteBatch::game()),
    // mirrored as `flip` says. An override that draws into the window itself
    // flushes that batch first, so that its picture lands over the sprites
    // before it; GameState::draw does so for an entity without a texture.
    virtual void draw();
    virtual void interact();
    virtual void displayDialogue();
    virtual void setState(int s);
    // The words it shows (the dialogue box's page), which the digests of the
    // picture and of the game's state take in; null when it shows none.
    virtual const sf::String* shownWords() const { return nullptr; }

    void setTexture(sf::Texture const& texture);
    // Where the picture goes when `flip` mirrors it (identity when it does not).
    sf::Transform flipTransform() const;

    int x;
    int y;
    sf::Sprite sprite;
    bool visible = true;
    bool solid = false;
    int tile = 0;
    std::string name;
    std::string type;
    DialogueTree* dialogue = nullptr; // owned
    sf::IntRect bounds;
    int state = 0;
    std::string tileset;
    // How the picture is mirrored, as the map format stores it with a cell
    // (MapLimits): the diagonal flip first, then the horizontal, then the
    // vertical one.
    static constexpr unsigned flipHorizontal = MapLimits::flipHorizontal;
    static constexpr unsigned flipVertical = MapLimits::flipVertical;
    static constexpr unsigned flipDiagonal = MapLimits::flipDiagonal;
    unsigned flip = 0;
    // The pitch of its voice in conversations, from the map ("voice"); 0 for
    // the usual voice of its kind.
    float voice = 0;
    GameState* owner = nullptr; // not owned
    // The row of the characters' sheet with this one's four facings, for
    // turning towards the player in a conversation; -1: it has one picture.
    int facings = -1;
};

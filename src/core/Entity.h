#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>
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
    virtual void draw();
    virtual void interact();
    virtual void displayDialogue();
    virtual void setState(int s);

    void setTexture(sf::Texture const& texture);

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
    GameState* owner = nullptr; // not owned
};

#include "Entity.h"

#include "DialogueTree.h"
#include "Game.h"

Entity::Entity(int x, int y)
    : x(x)
    , y(y)
    , bounds(x, y, 0, 0)
{
    sprite.setPosition(static_cast<float>(x), static_cast<float>(y));
}

Entity::Entity(sf::Vector2<int> const& position)
    : Entity(position.x, position.y)
{
}

Entity::~Entity()
{
    delete dialogue;
}

void Entity::update()
{
}

void Entity::draw()
{
    if (!visible)
        return;
    // What lies wholly outside the view would not show: skip the draw call.
    const sf::View& view = Game::window.getView();
    const sf::FloatRect seen(view.getCenter() - view.getSize() / 2.f, view.getSize());
    if (view.getRotation() == 0.f && !seen.intersects(sprite.getGlobalBounds()))
        return;
    Game::window.draw(sprite, sf::RenderStates::Default);
}

void Entity::interact()
{
    displayDialogue();
}

void Entity::displayDialogue()
{
    if (dialogue)
        Game::displayDialogue(dialogue, this);
}

void Entity::setState(int s)
{
    state = s;
}

void Entity::setTexture(sf::Texture const& texture)
{
    sprite.setTexture(texture, false);
    bounds.width = sprite.getTextureRect().width;
    bounds.height = sprite.getTextureRect().height;
}

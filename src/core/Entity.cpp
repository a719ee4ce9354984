#include "core/Entity.h"

#include "dialogueformat/DialogueTree.h"
#include "core/Game.h"
#include "render/SpriteBatch.h"

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
    // Into the frame's sprite batch, which leaves out what the view cannot
    // show and draws tiles from their tileset's atlas.
    if (flip == 0)
        SpriteBatch::game().draw(sprite);
    else
        SpriteBatch::game().draw(sprite, flipTransform());
}

sf::Transform Entity::flipTransform() const
{
    const sf::FloatRect local = sprite.getLocalBounds();
    sf::Transform mirror;
    if (flip & flipVertical)
        mirror.combine(sf::Transform(1, 0, 0, 0, -1, local.height, 0, 0, 1));
    if (flip & flipHorizontal)
        mirror.combine(sf::Transform(-1, 0, local.width, 0, 1, 0, 0, 0, 1));
    if (flip & flipDiagonal)
        mirror.combine(sf::Transform(0, 1, 0, 1, 0, 0, 0, 0, 1));
    // Mirror the picture in its own corner, wherever the sprite stands.
    const sf::Vector2f at = sprite.getPosition();
    return sf::Transform().translate(at).combine(mirror).translate(-at);
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

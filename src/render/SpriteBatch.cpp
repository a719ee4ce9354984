#include "render/SpriteBatch.h"

#include "core/Game.h"
#include "render/Graphics.h"
#include "render/PictureLayer.h"

#include <algorithm>
#include <cstdlib>

SpriteBatch::SpriteBatch(sf::RenderTarget& target)
    : target(target)
{
}

SpriteBatch& SpriteBatch::game()
{
    static SpriteBatch batch(Game::window);
    return batch;
}

void SpriteBatch::begin()
{
    ++depth;
}

void SpriteBatch::end()
{
    flush();
    if (depth > 0)
        --depth;
}

void SpriteBatch::draw(const sf::Sprite& sprite)
{
    add(sprite, sprite.getTransform(), sf::RenderStates::Default);
}

void SpriteBatch::draw(const sf::Sprite& sprite, const sf::Transform& transform)
{
    add(sprite, sf::Transform(transform).combine(sprite.getTransform()), sf::RenderStates(transform));
}

void SpriteBatch::add(const sf::Sprite& sprite, const sf::Transform& whole, const sf::RenderStates& states)
{
    const sf::Texture* own = sprite.getTexture();
    if (!own || own->getSize().x == 0 || own->getSize().y == 0)
        return;
    // The corners as the sprite places them: top-left, bottom-left, top-right,
    // bottom-right.
    const sf::IntRect rect = sprite.getTextureRect();
    const float width = static_cast<float>(std::abs(rect.width));
    const float height = static_cast<float>(std::abs(rect.height));
    const sf::Vector2f corner[4] = {whole.transformPoint(0, 0), whole.transformPoint(0, height),
                                    whole.transformPoint(width, 0), whole.transformPoint(width, height)};

    // What lies wholly outside the view would not show.
    const sf::View& view = target.getView();
    if (view.getRotation() == 0.f) {
        float left = corner[0].x, right = corner[0].x, top = corner[0].y, bottom = corner[0].y;
        for (const sf::Vector2f& p : corner) {
            left = std::min(left, p.x);
            right = std::max(right, p.x);
            top = std::min(top, p.y);
            bottom = std::max(bottom, p.y);
        }
        const sf::FloatRect seen(view.getCenter() - view.getSize() / 2.f, view.getSize());
        if (!seen.intersects(sf::FloatRect(left, top, right - left, bottom - top)))
            return;
    }

    if (!batching) {
        drawGathered();
        destination().draw(sprite, states);
        compose();
        ++drawCalls;
        return;
    }

    sf::Vector2f from(static_cast<float>(rect.left), static_cast<float>(rect.top));
    sf::Vector2f to = from + sf::Vector2f(static_cast<float>(rect.width), static_cast<float>(rect.height));
    const sf::Texture* source = own;
    bool covers = false;
    // A tile comes from its tileset's atlas unless the sprite shows more than
    // the tile: beyond its edges a tile's own texture repeats its edge pixels.
    if (const Graphics::AtlasTile* tile = Graphics::atlasTile(own)) {
        const auto within = [](float a, float b, int size) {
            return std::min(a, b) >= 0.f && std::max(a, b) <= static_cast<float>(size);
        };
        if (within(from.x, to.x, tile->rect.width) && within(from.y, to.y, tile->rect.height)) {
            const sf::Vector2f at(static_cast<float>(tile->rect.left), static_cast<float>(tile->rect.top));
            from += at;
            to += at;
            source = tile->atlas;
            covers = tile->opaque && sprite.getColor().a == 255;
        }
    }
    // A see-through sprite ends a run drawn without blending.
    if (source != texture || (opaque && !covers)) {
        drawGathered();
        texture = source;
        opaque = covers;
    }
    const sf::Color colour = sprite.getColor();
    const sf::Vertex quad[4] = {{corner[0], colour, from},
                                {corner[1], colour, {from.x, to.y}},
                                {corner[2], colour, {to.x, from.y}},
                                {corner[3], colour, to}};
    // The two triangles a sprite's strip makes.
    for (int i : {0, 1, 2, 2, 1, 3})
        vertices.push_back(quad[i]);
    if (depth == 0)
        flush();
}

void SpriteBatch::flush()
{
    drawGathered();
    compose();
}

void SpriteBatch::drawGathered()
{
    if (!vertices.empty()) {
        destination().draw(vertices.data(), vertices.size(), sf::Triangles,
                    sf::RenderStates(opaque ? sf::BlendNone : sf::BlendAlpha, sf::Transform::Identity, texture,
                                     nullptr));
        ++drawCalls;
        vertices.clear();
    }
    texture = nullptr;
    opaque = false;
}

sf::RenderTarget& SpriteBatch::destination()
{
    if (&target != &Game::window)
        return target;
    sf::RenderTarget* offscreen = PictureLayer::target(Game::window);
    return offscreen ? *offscreen : target;
}

void SpriteBatch::compose()
{
    if (&target == &Game::window)
        PictureLayer::compose(Game::window);
}

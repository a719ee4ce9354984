#pragma once

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Transform.hpp>
#include <SFML/Graphics/Vertex.hpp>

#include <vector>

// Draws sprites in the order they come, but gathers a run of sprites that
// share a texture into one draw call. A tile texture from Graphics is drawn
// from its tileset's atlas, so a whole layer of tiles makes a single run. A
// run of tiles without any see-through pixel is drawn without blending, which
// gives the same picture for less work.
//
// Between begin() and end() sprites are gathered; anything else drawn into
// the target in between must call flush() first, so that it lands over what
// came before it. Outside begin() and end() every sprite is drawn at once.
// Sprites that lie wholly outside the target's view are skipped.
class SpriteBatch {
public:
    explicit SpriteBatch(sf::RenderTarget& target);
    SpriteBatch(const SpriteBatch&) = delete;
    SpriteBatch& operator=(const SpriteBatch&) = delete;

    // The batch that draws into the game's window.
    static SpriteBatch& game();

    void begin();
    void end();
    // Draws the sprite as target.draw(sprite) would, or with `transform`
    // applied over its own as target.draw(sprite, sf::RenderStates(transform))
    // would. A sprite whose texture has no pixels shows nothing.
    void draw(const sf::Sprite& sprite);
    void draw(const sf::Sprite& sprite, const sf::Transform& transform);
    // Draws what has been gathered, and at a scale that is not whole puts
    // what was drawn off-screen (PictureLayer) into the window.
    void flush();

    // False draws every sprite with a call of its own from its own texture, as
    // the game did before tiles shared atlases: for measuring against.
    bool batching = true;
    // Draw calls made into the target so far.
    unsigned long drawCalls = 0;

private:
    // `whole` places the sprite's corners; `states` draws it on its own.
    void add(const sf::Sprite& sprite, const sf::Transform& whole, const sf::RenderStates& states);

    // The target, or for the window at a scale that is not whole, the
    // off-screen picture.
    sf::RenderTarget& destination();
    void drawGathered(); // flush() without compose()
    void compose();

    sf::RenderTarget& target;
    const sf::Texture* texture = nullptr; // of the sprites gathered
    bool opaque = false;                  // they cover what lies beneath completely
    std::vector<sf::Vertex> vertices;     // two triangles per sprite
    int depth = 0;                        // begin() calls not yet ended
};

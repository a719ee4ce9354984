#include "characters/Player.h"

#include "audio/Audio.h"
#include "render/Camera.h"
#include "core/Game.h"
#include "core/GameState.h"
#include "render/Graphics.h"
#include "input/Input.h"

#include <SFML/Graphics/View.hpp>

namespace {
// The sheet's columns face up, right, down and left; directions count up,
// left, down, right.
int frameFor(int direction)
{
    static const int columns[4] = {0, 3, 2, 1};
    return columns[direction];
}

// A walking sheet holds three poses side by side in each row: standing, then
// the first and the second stride, four facings each (see res/README.md).
constexpr int posesPerRow = 3;

// The tiles across the player's sheet; 0 when it is not loaded.
int sheetColumns()
{
    const auto sheet = Graphics::_sheets.find("player");
    return sheet == Graphics::_sheets.end() ? 0 : static_cast<int>(sheet->second.columns);
}

// `distance` pixels in the facing direction.
sf::Vector2<int> towards(int direction, int distance)
{
    switch (direction) {
    case 0: return {0, -distance};
    case 1: return {-distance, 0};
    case 2: return {0, distance};
    case 3: return {distance, 0};
    default: return {0, 0};
    }
}
}

Player::Player(int x, int y)
    : Entity(x, y)
{
    Graphics::loadTilemap("res/gfx/player.png", "player", 32);
}

void Player::update()
{
    if (direction >= 0 && direction <= 3) {
        // An older sheet (four tiles across) has the standing pose only.
        const int columns = sheetColumns();
        const bool walking = columns >= 4 * posesPerRow;
        const int pose = walking && moving ? walkPose(stepFrames) : 0;
        const long long tile = (walking ? static_cast<long long>(columns) : 4LL) * Game::disguise + 4 * pose
                               + frameFor(direction);
        const int slot = (tile >= 0 && tile <= 0x7fffffff) ? static_cast<int>(tile) : -1;
        sprite.setTexture(*Graphics::getTexture("player", slot), false);
    }

    if (moving) {
        if (2u * static_cast<unsigned>(stepFrames) < static_cast<unsigned>(sprite.getTextureRect().width)) {
            ++stepFrames;
            const sf::Vector2<int> move = towards(direction, 2);
            x += move.x;
            y += move.y;
            sprite.setPosition(static_cast<float>(x), static_cast<float>(y));
            bounds.left = x;
            bounds.top = y;
        } else {
            moving = false;
            stepFrames = 0;
        }
        centreCamera();
        return;
    }

    bool step = true;
    if (Input::down(Action::Up))
        direction = 0;
    else if (Input::down(Action::Right))
        direction = 3;
    else if (Input::down(Action::Down))
        direction = 2;
    else if (Input::down(Action::Left))
        direction = 1;
    else
        step = false;

    if (step)
        moving = true;
    else if (Input::pressed(Action::Talk))
        interacting = true;

    if ((moving || interacting) && owner) {
        // The cell ahead is one bounds width away, on either axis.
        const std::vector<Entity*> ahead = owner->collide(this, towards(direction, bounds.width));
        if (moving) {
            for (Entity* e : ahead) {
                if (e->solid) {
                    moving = false;
                    break;
                }
            }
            Audio::play(moving ? Audio::Cue::Step : Audio::Cue::Bump);
        } else {
            for (auto it = ahead.rbegin(); it != ahead.rend(); ++it)
                (*it)->interact();
        }
    }
    interacting = false;
    centreCamera();
}

int Player::walkPose(int stepFrames)
{
    // Four steps of the clock each: a stride, standing, the other stride,
    // standing; a tile's walk (16 steps) shows the whole cycle once.
    static const int poses[4] = {1, 0, 2, 0};
    return poses[(stepFrames / 4) % 4];
}

void Player::centreCamera()
{
    sf::View view = Game::window.getView();
    const float half = static_cast<float>(bounds.width / 2);
    const sf::Vector2f target(sprite.getPosition().x + half, sprite.getPosition().y + half);
    view.setCenter(Camera::centre(target, Camera::map, view.getSize(), Camera::follow));
    Game::window.setView(view);
}

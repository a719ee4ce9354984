#include "screens/GuildhallMap.h"

#include "characters/Player.h"
#include "core/Entity.h"
#include "core/Game.h"
#include "i18n/Catalogue.h"
#include "input/Bindings.h"
#include "input/Gamepad.h"
#include "input/Input.h"
#include "input/KeyNames.h"
#include "render/PictureDigest.h"
#include "render/SpriteBatch.h"
#include "render/WindowText.h"
#include "screens/ScreenText.h"
#include "world/MainState.h"

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/View.hpp>

#include <algorithm>
#include <cmath>
#include <typeinfo>

namespace {
const sf::Color backdrop(16, 14, 22);
const sf::Color unlit(34, 32, 44);
const sf::Color edge(200, 170, 90);
const sf::Color lettering(250, 240, 210);
const sf::Color dim(160, 150, 130);
// Where the map may go in the picture, under the title and over the footer.
const sf::FloatRect room(20, 48, 600, 392);

bool plainTile(const Entity* e)
{
    // The map's tiles; the people, the tables and the player move or change.
    return typeid(*e) == typeid(Entity) && e->sprite.getTexture();
}

void rectangle(const sf::FloatRect& r, sf::Color fill, sf::Color outline = sf::Color::Transparent)
{
    sf::RectangleShape shape(sf::Vector2f(r.width, r.height));
    shape.setPosition(r.left, r.top);
    shape.setFillColor(fill);
    shape.setOutlineColor(outline);
    shape.setOutlineThickness(outline.a ? -1.f : 0.f);
    Game::window.draw(shape, sf::RenderStates::Default);
}
} // namespace

GuildhallMap::GuildhallMap(GameState* previous)
    : OverlayScreen(previous)
{
    world = previous ? previous->find<MainState>() : nullptr;
    if (!world)
        return;
    // The map reaches as far as its tiles and its rooms.
    bool any = false;
    const auto take = [&](const sf::FloatRect& r) {
        if (r.width <= 0 || r.height <= 0)
            return;
        if (!any) {
            extent = r;
            any = true;
            return;
        }
        const float right = std::max(extent.left + extent.width, r.left + r.width);
        const float bottom = std::max(extent.top + extent.height, r.top + r.height);
        extent.left = std::min(extent.left, r.left);
        extent.top = std::min(extent.top, r.top);
        extent.width = right - extent.left;
        extent.height = bottom - extent.top;
    };
    for (const Entity* e : world->entities)
        if (plainTile(e))
            take(e->sprite.getGlobalBounds());
    for (const MapRooms::Room& r : world->roomBanner.rooms.rooms)
        take(sf::FloatRect(static_cast<float>(r.x), static_cast<float>(r.y), static_cast<float>(r.width),
                           static_cast<float>(r.height)));
    if (!any)
        return;
    // Whole picture pixels per tile are not needed: the map only has to fit.
    scale = std::min(room.width / extent.width, room.height / extent.height);
    area.width = std::floor(extent.width * scale);
    area.height = std::floor(extent.height * scale);
    area.left = std::floor(room.left + (room.width - area.width) / 2);
    area.top = std::floor(room.top + (room.height - area.height) / 2);
}

sf::Vector2f GuildhallMap::toPicture(float x, float y) const
{
    return sf::Vector2f(area.left + (x - extent.left) * scale, area.top + (y - extent.top) * scale);
}

const Player* GuildhallMap::player() const
{
    if (!world)
        return nullptr;
    for (const Entity* e : world->entities)
        if (const auto* p = dynamic_cast<const Player*>(e))
            return p;
    return nullptr;
}

std::string GuildhallMap::footer() const
{
    const int map = Actions::index(Action::Map);
    const std::string key = Input::padUsedLast ? PadInputs::label(Bindings::pads[map][0], Gamepad::layout)
                                               : KeyNames::label(Bindings::keys[map][0]);
    std::string line = (key.empty() ? "" : key + ", ") + KeyNames::label(sf::Keyboard::Escape) + ": " + tr("close");
    if (world && !world->roomBanner.rooms.rooms.empty()) {
        std::vector<std::string> names;
        for (const MapRooms::Room& r : world->roomBanner.rooms.rooms)
            if (std::find(names.begin(), names.end(), r.name) == names.end())
                names.push_back(r.name);
        long lit = 0;
        for (const std::string& name : names)
            lit += world->seen.rooms.has(name);
        line += "    " + tr("rooms visited") + ": " + std::to_string(lit) + " / " + std::to_string(names.size());
    }
    return line;
}

void GuildhallMap::update()
{
    if (backPressed() || Input::pressed(Action::Map))
        close();
}

bool GuildhallMap::addToPictureDigest(PictureDigest& digest) const
{
    digest.add(std::string("map"));
    digest.add(footer());
    if (world) {
        for (const std::string& name : world->seen.rooms.names())
            digest.add(name);
        if (const Player* p = player())
            digest.add(p->x), digest.add(p->y);
    }
    return true;
}

void GuildhallMap::draw()
{
    const sf::View camera = Game::window.getView();
    const sf::View picture = Game::pictureView();
    Game::window.setView(picture);
    rectangle(sf::FloatRect(0, 0, Game::pictureWidth, Game::pictureHeight), backdrop);
    const std::string title = tr("The Guildhall");
    ScreenText::draw(title, (Game::pictureWidth - ScreenText::width(title, 20)) / 2, 12, 20, lettering);
    const std::string bottom = footer();
    ScreenText::draw(bottom, (Game::pictureWidth - ScreenText::width(bottom, 12)) / 2, 450, 12, dim);
    if (!world || area.width <= 0) {
        Game::window.setView(camera);
        return;
    }

    const std::vector<MapRooms::Room>& rooms = world->roomBanner.rooms.rooms;
    const auto onPicture = [&](const MapRooms::Room& r) {
        const sf::Vector2f from = toPicture(static_cast<float>(r.x), static_cast<float>(r.y));
        return sf::FloatRect(from.x, from.y, r.width * scale, r.height * scale);
    };
    // The rooms not walked into yet: their shapes, dark.
    for (const MapRooms::Room& r : rooms)
        if (!world->seen.rooms.has(r.name))
            rectangle(onPicture(r), unlit, sf::Color(52, 50, 66));

    // A map without rooms is shown whole; otherwise only the rooms walked
    // into, each through a view of its own that shows its tiles and no more.
    std::vector<sf::FloatRect> lit;
    if (rooms.empty())
        lit.push_back(extent);
    for (const MapRooms::Room& r : rooms)
        if (world->seen.rooms.has(r.name))
            lit.emplace_back(static_cast<float>(r.x), static_cast<float>(r.y), static_cast<float>(r.width),
                             static_cast<float>(r.height));
    const sf::FloatRect port = picture.getViewport();
    SpriteBatch& batch = SpriteBatch::game();
    for (const sf::FloatRect& shown : lit) {
        const sf::Vector2f at = toPicture(shown.left, shown.top);
        sf::View view(shown);
        view.setViewport(sf::FloatRect(port.left + at.x / Game::pictureWidth * port.width,
                                       port.top + at.y / Game::pictureHeight * port.height,
                                       shown.width * scale / Game::pictureWidth * port.width,
                                       shown.height * scale / Game::pictureHeight * port.height));
        Game::window.setView(view);
        batch.begin();
        for (std::size_t i : world->drawIndex.near(world->entities, shown))
            if (plainTile(world->entities[i]))
                world->entities[i]->draw();
        batch.end();
    }
    Game::window.setView(picture);

    // The lit rooms' edges and names; a name goes on the largest rectangle
    // of its room, across its top, or up its middle when the room is tall and
    // narrow.
    for (const MapRooms::Room& r : rooms)
        if (world->seen.rooms.has(r.name))
            rectangle(onPicture(r), sf::Color::Transparent, edge);
    for (const MapRooms::Room& r : rooms) {
        if (!world->seen.rooms.has(r.name))
            continue;
        const MapRooms::Room* largest = &r;
        for (const MapRooms::Room& other : rooms)
            if (other.name == r.name && other.width * other.height > largest->width * largest->height)
                largest = &other;
        if (largest != &r)
            continue;
        const sf::FloatRect box = onPicture(r);
        sf::Text name = ScreenText::make(Catalogue::world(r.name, "room"), nameSize, lettering);
        const sf::FloatRect size = name.getLocalBounds();
        const bool upright = size.width > box.width - 4 && box.height > box.width;
        name.setOrigin(std::round(size.left + size.width / 2), std::round(size.top + size.height / 2));
        if (upright) {
            name.setPosition(std::round(box.left + box.width / 2), std::round(box.top + box.height / 2));
            name.setRotation(-90);
        } else {
            // Near the top, where the player's mark is seldom.
            name.setPosition(std::round(box.left + box.width / 2), std::round(box.top + 4 + size.height / 2 + 2));
        }
        const sf::FloatRect over = name.getGlobalBounds();
        rectangle(sf::FloatRect(over.left - 3, over.top - 2, over.width + 6, over.height + 4), sf::Color(16, 14, 22, 190));
        WindowText::draw(name);
    }

    if (const Player* p = player()) {
        const float side = static_cast<float>(p->bounds.width > 0 ? p->bounds.width : 32);
        const sf::Vector2f at = toPicture(static_cast<float>(p->x) + side / 2, static_cast<float>(p->y) + side / 2);
        sf::CircleShape mark(4.5f);
        mark.setOrigin(4.5f, 4.5f);
        mark.setPosition(at);
        mark.setFillColor(sf::Color(230, 40, 40));
        mark.setOutlineColor(sf::Color::White);
        mark.setOutlineThickness(1.5f);
        Game::window.draw(mark, sf::RenderStates::Default);
    }
    Game::window.setView(camera);
}

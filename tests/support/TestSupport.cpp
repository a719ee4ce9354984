#include "TestSupport.h"

#include "render/Camera.h"

#include "dialogue/DialogueBox.h"
#include "dialogue/DialogueState.h"
#include "dialogue/TextSpeed.h"
#include "screens/EndingCard.h"
#include "core/Entity.h"
#include "core/Game.h"
#include "core/WindowLimits.h"
#include "core/GameState.h"
#include "dialogueformat/DialogueTree.h"
#include "input/Keyboard.h"
#include "render/Graphics.h"
#include "story/SaveGame.h"
#include "characters/Victim.h"

#include <gtest/gtest.h>

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <typeinfo>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {
// Unit tests build many small worlds: the game's own saving stays off in them
// unless a test turns it on (and points XDG_DATA_HOME somewhere of its own).
const bool savesOff = (SaveGame::enabled = false, true);
// Pages show whole at once, as the end-to-end scripts have them, unless a
// test asks for a text speed (resetGame() goes back to instant); so does the
// game when a test starts it through the shell's settings.
const bool textAtOnce = (setenv(TextSpeed::environmentVariable, "instant", 0), true);
} // namespace

namespace testing_support {

namespace {
// The tests draw into the game's window and read it back: it is opened before
// the first test, at the size the game would open it at a whole-number scale
// (the tests' pictures are pixel for pixel, whatever the test screen's size).
struct OpenWindow : ::testing::Environment {
    void SetUp() override
    {
        WindowLimits::chosenScale = 1;
        Game::openWindow();
    }
};
::testing::Environment* const openWindow = ::testing::AddGlobalTestEnvironment(new OpenWindow);
} // namespace

ResourceDir::ResourceDir()
{
    previous = fs::current_path().string();
    std::string pattern = (fs::temp_directory_path() / "tarnwick-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary directory");
    root = pattern;
    fs::current_path(root);
}

ResourceDir::~ResourceDir()
{
    std::error_code ignored;
    fs::current_path(previous, ignored);
    fs::remove_all(root, ignored);
}

void ResourceDir::write(const std::string& path, const std::string& text) const
{
    const fs::path file = fs::path(root) / path;
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

sf::Color tileColour(unsigned n)
{
    return sf::Color(static_cast<sf::Uint8>(10 + 20 * (n % 12)), static_cast<sf::Uint8>(200 - 7 * (n % 25)),
                     static_cast<sf::Uint8>(40 + n), 255);
}

void ResourceDir::image(const std::string& path, unsigned width, unsigned height, unsigned tileSize) const
{
    const fs::path file = fs::path(root) / path;
    fs::create_directories(file.parent_path());
    sf::Image picture;
    picture.create(width, height, sf::Color::Magenta);
    const unsigned columns = (width + tileSize - 1) / tileSize;
    for (unsigned py = 0; py < height; ++py)
        for (unsigned px = 0; px < width; ++px)
            picture.setPixel(px, py, tileColour((py / tileSize) * columns + px / tileSize));
    picture.saveToFile(file.string());
}

std::string leafXml(const std::string& line)
{
    return "<dialogue><text><l>" + line + "</l></text></dialogue>";
}

std::string goalsIni()
{
    std::string ini = "start = start\n";
    for (int p = 0; p < 3; ++p) {
        const std::string part = "part" + std::to_string(p);
        ini += "[" + part + "]\n";
        for (const char* situation : {"livery", "table", "report"})
            ini += std::string(situation) + " = " + part + " " + situation + " {wanted}/{worn}\n";
    }
    return ini + "[endings]\n1 = first\n2 = second\n3 = third\n";
}

void signWorld(const ResourceDir& dir)
{
    dir.write("res/maps/testmap.json", R"({"width": 3, "height": 1, "tileheight": 32,
      "layers": [{"data": [3, 2, 1]}],
      "tilesets": [{"name": "goal-line", "image": "../gfx/world.png", "firstgid": 1, "tileproperties": {
        "0": {"type": "floor", "solid": false},
        "1": {"type": "player", "solid": false},
        "2": {"type": "sign", "solid": true, "dialogue": "sign", "name": "Sign"}}}]})");
    dir.image("res/gfx/world.png", 96, 32);
    dir.image("res/gfx/player.png", 128, 32);
    dir.write("res/txt/sign.xml", leafXml("Keep off the grass."));
    dir.write("res/txt/goals.ini", goalsIni());
}

void holdKeys(std::initializer_list<sf::Keyboard::Key> keys)
{
    // A key the game swallowed reads as up until it has been let go.
    bool held[sf::Keyboard::KeyCount] = {};
    for (sf::Keyboard::Key key : keys)
        held[key] = true;
    for (int k = 0; k < sf::Keyboard::KeyCount; ++k) {
        if (!held[k])
            Keyboard::heldOver[k] = false;
        Keyboard::lastState[k] = Keyboard::currentState[k];
        Keyboard::currentState[k] = held[k] && !Keyboard::heldOver[k];
    }
}

void runFrame()
{
    Game::frame();
}

void updateFrame()
{
    Game::step();
}

void runFrames(int count, std::initializer_list<sf::Keyboard::Key> keys)
{
    for (int i = 0; i < count; ++i) {
        holdKeys(keys);
        runFrame();
    }
}

DialogueBox* openBox()
{
    auto* talk = dynamic_cast<DialogueState*>(Game::currentState);
    if (!talk || talk->entities.empty())
        return nullptr;
    return dynamic_cast<DialogueBox*>(talk->entities.front());
}

const DialogueTree* offered(Entity* e)
{
    GameState* before = Game::currentState;
    e->interact();
    if (Game::currentState == before || !openBox())
        return nullptr;
    const DialogueTree* node = openBox()->node;
    static_cast<DialogueState*>(Game::currentState)->finished();
    Game::releaseRetired();
    return node;
}

sf::Color windowPixel(unsigned x, unsigned y)
{
    sf::Texture shot;
    shot.create(Game::window.getSize().x, Game::window.getSize().y);
    shot.update(Game::window);
    return shot.copyToImage().getPixel(x, y);
}

void forgetTileset(const std::string& name)
{
    const auto tiles = Graphics::_graphics.find(name);
    if (tiles == Graphics::_graphics.end())
        return;
    for (sf::Texture* texture : tiles->second) {
        Graphics::_atlasTiles.erase(texture);
        delete texture;
    }
    Graphics::_graphics.erase(tiles);
    Graphics::_sheets.erase(name);
}

void resetGame()
{
    Game::destroyStates();
    Camera::map = sf::FloatRect();
    Camera::follow = false;
    Game::running = false;
    Game::part = -1;
    Game::disguise = 0;
    Game::defacedTables = 0;
    EndingCard::requested = false;
    // Whole-number scales, whatever the size of the test's screen.
    WindowLimits::chosenScale = 1;
    TextSpeed::current = TextSpeed::Speed::Instant;
    for (int k = 0; k < sf::Keyboard::KeyCount; ++k)
        Keyboard::lastState[k] = Keyboard::currentState[k] = Keyboard::heldOver[k] = false;
    Game::window.setView(Game::window.getDefaultView());
}

namespace {
std::string firstLine(const DialogueTree* tree)
{
    return tree && !tree->text.empty() ? tree->text.front() : "-";
}
} // namespace

std::vector<std::string> describeEntities(const GameState& state)
{
    std::vector<std::string> lines;
    for (const Entity* e : state.entities) {
        std::ostringstream line;
        line << typeid(*e).name() << " at " << e->x << "," << e->y << " type " << e->type << " name " << e->name
             << " tile " << e->tileset << "/" << e->tile << " solid " << e->solid << " flip " << e->flip
             << " size " << e->bounds.width << "x" << e->bounds.height << " texture " << e->sprite.getTexture()
             << " talk " << firstLine(e->dialogue);
        if (const auto* v = dynamic_cast<const Victim*>(e))
            line << " part " << v->part << " offer " << firstLine(v->secondDialogue);
        lines.push_back(line.str());
    }
    return lines;
}

} // namespace testing_support

namespace testing_support {

void writeStoryWorld(const ResourceDir& dir)
{
    static const char* const layout[] = {
        "############", "#a.b.c#....#", "#.....#....#", "#.....#....#", "#B.P..W..t.#",
        "#.....#....#", "#.....#....#", "#x.y.z#....#", "############",
    };
    const auto tileOf = [](char c) {
        switch (c) {
        case 'P': return 2;
        case 'W': return 3;
        case 't': case 'x': case 'y': case 'z': return 4;
        case 'a': return 8;
        case 'b': return 10;
        case 'c': return 12;
        case 'B': return 14;
        default: return -1;
        }
    };
    std::string floor, people;
    for (const char* row : layout)
        for (const char* c = row; *c; ++c) {
            const std::string sep = floor.empty() ? "" : ",";
            floor += sep + (*c == '#' ? "2" : "1");
            people += sep + std::to_string(tileOf(*c) + 1);
        }
    dir.write("res/maps/testmap.json", R"({"width":12,"height":9,"tilewidth":32,"tileheight":32,
  "layers":[{"name":"ground","data":[)" + floor + R"(]},{"name":"people","data":[)" + people + R"(]}],
  "tilesets":[{"name":"smallworld","image":"../gfx/world.png","firstgid":1,"tileproperties":{
    "0":{"type":"floor","solid":false},
    "1":{"type":"wall","solid":true},
    "2":{"type":"player","solid":false},
    "3":{"type":"warden","solid":true,"name":"Warden"},
    "4":{"type":"table","solid":true,"name":"Table"},
    "8":{"type":"victim","solid":true,"part":0,"dialogue":"victim0","name":"Ann"},
    "10":{"type":"victim","solid":true,"part":1,"dialogue":"victim1","name":"Bea"},
    "12":{"type":"victim","solid":true,"part":2,"dialogue":"victim2","name":"Cal"},
    "14":{"type":"boss","solid":true,"name":"Boss"}}}]})");
    dir.image("res/gfx/world.png", 128, 160);
    dir.image("res/gfx/player.png", 128, 128);
    const auto pages = [](const std::string& first) {
        return "<dialogue><text><l>" + first + "</l><l>...</l></text></dialogue>";
    };
    for (int i = 0; i < 6; ++i)
        dir.write("res/txt/warden" + std::to_string(i) + ".xml", pages("warden" + std::to_string(i)));
    for (int i = 0; i < 4; ++i) {
        const std::string n = std::to_string(i);
        dir.write("res/txt/boss" + n + ".xml", pages("boss" + n));
        if (i == 3)
            break;
        dir.write("res/txt/table" + n + ".xml", pages("table" + n));
        dir.write("res/txt/victim" + n + "2.xml",
                  "<dialogue><text><l>victim" + n + "-ask</l></text><options><o>Yes</o><o>No</o><o>Sure</o>"
                  "</options><responses><r><dialogue><text><l>yes</l></text></dialogue></r><r><dialogue>"
                  "<text><l>no</l></text></dialogue></r><r><dialogue><text><l>sure</l></text></dialogue>"
                  "</r></responses></dialogue>");
        dir.write("res/txt/victim" + n + ".xml", leafXml("victim" + n + "-after"));
    }
    dir.write("res/txt/goals.ini", goalsIni());
}

} // namespace testing_support

// Map files as an author or an attacker might write them, through the game's
// own loader: every entity, conversation and tileset the file names is built.
//
// Conversations are short stand-ins under the shipped names, and the player
// sheet and the shipped tileset are small pictures loaded once, so that an
// input costs what the map loader costs and not the reading of large files.
#include "FuzzTree.h"

#include "core/Game.h"
#include "core/GameState.h"
#include "render/Graphics.h"
#include "world/Map.h"

#include <boost/property_tree/exceptions.hpp>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

namespace {
FuzzTree* tree = nullptr;
const std::set<std::string> preloaded = {"player", "world"};

}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    tree = new FuzzTree("map", argc, argv);
    tree->shortConversations();
    tree->image("res/gfx/player.png", 128, 192);
    tree->image("res/gfx/world.png", 64, 64);
    // The tilesets that the seeds in today's editor format use, embedded or
    // in files of their own beside the map.
    tree->image("res/gfx/formats.png", 128, 96);
    for (const char* external : {"formats.tsj", "formats.tsx"}) {
        std::ifstream in(FuzzTree::sourceDir() + "/tests/fixtures/formats/" + external, std::ios::binary);
        tree->write(std::string("res/maps/") + external,
                    std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    }
    Graphics::loadTilemap("res/gfx/player.png", "player", 32);
    Graphics::loadTilemap("res/gfx/world.png", "world", 32);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    tree->write("res/maps/fuzz.json", data, size);
    Game::part = -1;
    Game::disguise = 0;
    Game::defacedTables = 0;
    {
        GameState state;
        Map map;
        try {
            map.loadMap("fuzz.json", &state);
        } catch (const boost::property_tree::ptree_error&) {
            // Refused with the one-line error the game prints: fine.
        }
    }
    forgetTilesets(preloaded);
    return 0;
}

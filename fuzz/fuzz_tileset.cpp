// Tileset images as a map names them: any picture file, cut into square tiles
// with a margin and spacing. The first three bytes of an input choose the tile
// size (8 to 64 pixels), the margin and the spacing (0 to 15); the rest is the
// image file.
#include "FuzzTree.h"

#include "render/Graphics.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {
FuzzTree* tree = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    tree = new FuzzTree("tileset", argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    const int tileSize = 8 + data[0] % 57;
    const int margin = data[1] % 16;
    const int spacing = data[2] % 16;
    tree->write("res/gfx/fuzz.png", data + 3, size - 3);
    Graphics::loadTilemap("res/gfx/fuzz.png", "fuzz", tileSize, margin, spacing);
    // Every tile number, in range or not, yields a texture to draw.
    for (int tile : {-1, 0, 1, 2, 63, 64, 1 << 20}) {
        if (!Graphics::getTexture("fuzz", tile))
            std::abort();
    }
    forgetTilesets({});
    return 0;
}

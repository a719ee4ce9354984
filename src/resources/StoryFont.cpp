#include "resources/StoryFont.h"

#include "resources/ResourceFile.h"

const sf::Font& StoryFont::get()
{
    static sf::Font font;
    static bool loaded = false;
    // Until the file is there (the game's data folder always has it).
    if (!loaded) {
        const char* const path = "res/fnt/LibMono.ttf";
        if (ResourceFile::isRegular(path))
            loaded = font.loadFromFile(path);
    }
    return font;
}

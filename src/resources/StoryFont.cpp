#include "resources/StoryFont.h"

#include "resources/ResourceFile.h"

const sf::Font& StoryFont::get()
{
    static sf::Font font;
    static bool tried = false;
    if (!tried) {
        tried = true;
        const char* const path = "res/fnt/LibMono.ttf";
        if (ResourceFile::isRegular(path))
            font.loadFromFile(path);
    }
    return font;
}

#include "Game.h"

#include <exception>
#include <iostream>

int main()
{
    try {
        Game::initialize();
    } catch (const std::exception& error) {
        // Bad game data: say what and where on one line, then leave cleanly.
        std::cerr << "tarnwick: " << error.what() << '\n';
        Game::cleanUp();
        return 1;
    }
    Game::run();
    return 0;
}

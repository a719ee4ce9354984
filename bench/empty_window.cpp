// The floor the game's figures are measured against: a window of the given
// size that only clears and displays, 60 times a second, until it is closed
// or killed. It is a program of its own so that nothing of the game's loop
// is counted in it.
//
//   empty_window WIDTH HEIGHT
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Event.hpp>

#include <cstdlib>

int main(int argc, char** argv)
{
    const unsigned width = argc > 2 ? static_cast<unsigned>(std::atoi(argv[1])) : 640;
    const unsigned height = argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : 480;
    sf::RenderWindow window(sf::VideoMode(width, height), "empty window");
    window.setFramerateLimit(60);
    while (window.isOpen()) {
        sf::Event event;
        while (window.pollEvent(event))
            if (event.type == sf::Event::Closed)
                window.close();
        window.clear(sf::Color(20, 20, 30));
        window.display();
    }
    return 0;
}

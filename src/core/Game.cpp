#include "Game.h"

#include "Checker.h"
#include "DialogueState.h"
#include "GameState.h"
#include "Keyboard.h"
#include "MainState.h"

#include <SFML/Window/Event.hpp>

sf::RenderWindow Game::window(sf::VideoMode(640, 480, 32), "Tarnwick", sf::Style::Default,
                              sf::ContextSettings());
GameState* Game::currentState = nullptr;
bool Game::running = false;
int Game::part = -1;
int Game::disguise = 0;
int Game::defacedTables = 0;
std::vector<GameState*> Game::retiredStates;
bool Game::fullscreen = false;

sf::View Game::pictureView()
{
    sf::View view(sf::FloatRect(0, 0, pictureWidth, pictureHeight));
    view.setViewport(window.getView().getViewport());
    return view;
}

void Game::setFullscreen(bool on)
{
    if (on == fullscreen)
        return;
    const sf::View camera = window.getView();
    if (on)
        window.create(sf::VideoMode::getDesktopMode(), "Tarnwick", sf::Style::Fullscreen);
    else
        window.create(sf::VideoMode(pictureWidth, pictureHeight, 32), "Tarnwick", sf::Style::Default);
    window.setFramerateLimit(60);
    window.setView(camera);
    fullscreen = on;
}

void Game::initialize()
{
    // A world that cannot be shown whole or played to its end is refused
    // before it is built, every problem on a line of its own.
    Checker::refuseBrokenWorld();
    window.setFramerateLimit(60);
    Keyboard::initialize();
    currentState = new MainState();
}

void Game::run()
{
    running = true;
    while (true) {
        sf::Event event;
        while (window.pollEvent(event)) {
            if (event.type == sf::Event::Closed)
                running = false;
            else if (event.type == sf::Event::KeyPressed && event.key.code == sf::Keyboard::Escape)
                running = false;
        }
        Keyboard::update();
        frame();
        if (!running)
            break;
    }
    cleanUp();
}

void Game::frame()
{
    if (currentState)
        currentState->update();
    releaseRetired();
    if (currentState)
        currentState->draw();
    window.display();
    window.clear(sf::Color(0, 0, 0, 255));
}

void Game::end()
{
    running = false;
}

void Game::displayDialogue(DialogueTree const* tree, Entity* speaker)
{
    currentState = new DialogueState(currentState, speaker, tree);
}

void Game::changeState(GameState* next)
{
    GameState* old = currentState;
    currentState = next;
    if (old && old != next)
        retiredStates.push_back(old);
}

void Game::releaseRetired()
{
    // A state that was made current again stays alive.
    std::vector<GameState*> retired;
    retired.swap(retiredStates);
    for (GameState* state : retired) {
        if (state != currentState)
            delete state;
    }
}

void Game::destroyStates()
{
    releaseRetired();
    // A conversation does not own the state it interrupted, so when the game
    // ends inside one, the interrupted states are released along the chain.
    GameState* state = currentState;
    currentState = nullptr;
    while (state) {
        GameState* below = nullptr;
        if (auto* talk = dynamic_cast<DialogueState*>(state))
            below = talk->previous;
        delete state;
        state = below;
    }
}

void Game::cleanUp()
{
    destroyStates();
    window.close();
}

// A stand-in for a replay of the real binary, for the crash test: plays the
// shipped story in-process, headless, saving as the game does. Run in the
// data folder.
//   playroute --write FILE   plays the shortest route and writes its keys to FILE
//   playroute FILE           plays the keys written there
#include "Game.h"
#include "MainState.h"
#include "SaveGame.h"
#include "StoryDriver.h"
#include "StoryExplorer.h"

#include <fstream>
#include <iostream>
#include <map>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2 && !(argc == 3 && std::string(argv[1]) == "--write")) {
        std::cerr << "usage: playroute --write FILE | playroute FILE\n";
        return 2;
    }
    SaveGame::enabled = true;
    Game::running = true;
    auto* world = new MainState();
    Game::currentState = world;
    testing_support::StoryDriver driver(world);
    if (argc == 3) {
        const StoryExplorer::Result proof = StoryExplorer::explore(*world);
        for (const StoryExplorer::Talk& talk : proof.route)
            if (!driver.play(talk))
                return 1;
        std::ofstream out(argv[2]);
        for (const std::string& action : driver.actions)
            out << action << '\n';
        return out ? 0 : 1;
    }
    const std::map<std::string, sf::Keyboard::Key> keys = {
        {"Up", sf::Keyboard::Up}, {"Down", sf::Keyboard::Down}, {"Left", sf::Keyboard::Left},
        {"Right", sf::Keyboard::Right}, {"Return", sf::Keyboard::Return}, {"space", sf::Keyboard::Space},
        {"1", sf::Keyboard::Num1}, {"2", sf::Keyboard::Num2}, {"3", sf::Keyboard::Num3}};
    std::ifstream in(argv[1]);
    for (std::string verb, word; in >> verb;) {
        if (verb == "#") {
            std::getline(in, word);
            continue;
        }
        in >> word;
        const auto key = keys.find(word);
        if (key == keys.end() || (verb != "step" && verb != "press"))
            return 1;
        if (verb == "step")
            driver.step(key->second);
        else
            driver.press(key->second);
    }
    return 0;
}

// The shipped story's shortest route for the crash test, played in-process
// and headless, saving as the game does. Run in the data folder.
//   playroute --write FILE   plays the route; writes its keys to FILE and, as
//                            a recording the game can replay, to FILE.rec
//   playroute FILE           plays the keys written there
#include "core/Game.h"
#include "world/MainState.h"
#include "replay/Recording.h"
#include "story/SaveGame.h"
#include "replay/Session.h"
#include "StoryDriver.h"
#include "check/StoryExplorer.h"
#include "disk/WorldIdentity.h"

#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

// "step Left", "press Return": the driver's key actions, as (step?, key).
bool readActions(std::istream& in, std::vector<std::pair<bool, sf::Keyboard::Key>>& actions)
{
    const std::map<std::string, sf::Keyboard::Key> keys = {
        {"Up", sf::Keyboard::Up}, {"Down", sf::Keyboard::Down}, {"Left", sf::Keyboard::Left},
        {"Right", sf::Keyboard::Right}, {"Return", sf::Keyboard::Return}, {"space", sf::Keyboard::Space},
        {"1", sf::Keyboard::Num1}, {"2", sf::Keyboard::Num2}, {"3", sf::Keyboard::Num3}};
    for (std::string verb, word; in >> verb;) {
        if (verb == "#") {
            std::getline(in, word);
            continue;
        }
        in >> word;
        const auto key = keys.find(word);
        if (key == keys.end() || (verb != "step" && verb != "press"))
            return false;
        actions.emplace_back(verb == "step", key->second);
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && !(argc == 3 && std::string(argv[1]) == "--write")) {
        std::cerr << "usage: playroute --write FILE | playroute FILE\n";
        return 2;
    }
    Game::openWindow();
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
        // The same steps as a recording: a key's step, then the idle steps
        // the driver leaves after it (18 after a step, 2 after a press).
        std::istringstream in([&] {
            std::string all;
            for (const std::string& action : driver.actions)
                all += action + '\n';
            return all;
        }());
        std::vector<std::pair<bool, sf::Keyboard::Key>> actions;
        if (!readActions(in, actions))
            return 1;
        Recording recording;
        recording.version = Session::gameVersion();
        recording.world = WorldIdentity::of(".");
        for (const auto& [isStep, key] : actions) {
            Recording::Keys keys;
            keys.set(static_cast<std::size_t>(key));
            recording.add(keys);
            for (int i = 0; i < (isStep ? 18 : 2); ++i)
                recording.add(Recording::Keys());
        }
        std::ofstream(std::string(argv[2]) + ".rec") << recording.toText();
        return out ? 0 : 1;
    }
    std::ifstream in(argv[1]);
    std::vector<std::pair<bool, sf::Keyboard::Key>> actions;
    if (!readActions(in, actions))
        return 1;
    for (const auto& [isStep, key] : actions) {
        if (isStep)
            driver.step(key);
        else
            driver.press(key);
    }
    return 0;
}

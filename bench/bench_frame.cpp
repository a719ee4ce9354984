// Prints how long the world takes to load and how long a frame takes, for the
// shipped map (when run from the repository root) and for a large generated
// map, with the memory the process holds afterwards.
#include "Game.h"
#include "GameState.h"
#include "Keyboard.h"
#include "MainState.h"

#include <SFML/Graphics/Image.hpp>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

long residentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

void measure(const char* label)
{
    const long before = residentKiB();
    const auto start = Clock::now();
    Game::currentState = new MainState();
    const auto loaded = Clock::now();
    const std::size_t count = Game::currentState->entities.size();

    // Walk right and left, then stand still: a collision query every step.
    const int frames = 600;
    double worst = 0;
    const auto first = Clock::now();
    for (int f = 0; f < frames; ++f) {
        for (int k = 0; k < sf::Keyboard::KeyCount; ++k) {
            Keyboard::lastState[k] = Keyboard::currentState[k];
            Keyboard::currentState[k] = false;
        }
        if (f < 200)
            Keyboard::currentState[sf::Keyboard::Right] = true;
        else if (f < 400)
            Keyboard::currentState[sf::Keyboard::Left] = true;
        const auto t = Clock::now();
        Game::frame();
        worst = std::max(worst, ms(Clock::now() - t));
    }
    const double perFrame = ms(Clock::now() - first) / frames;
    std::printf("%-28s entities %7zu  load %8.1f ms  frame %6.3f ms avg %6.3f ms worst  memory +%ld KiB\n",
                label, count, ms(loaded - start), perFrame, worst, residentKiB() - before);
    Game::destroyStates();
}

void writeLargeMap(const fs::path& root, int width, int height)
{
    fs::create_directories(root / "res/maps");
    fs::create_directories(root / "res/gfx");
    fs::create_directories(root / "res/txt");
    sf::Image tiles;
    tiles.create(96, 32, sf::Color(90, 90, 90));
    tiles.saveToFile((root / "res/gfx/bench.png").string());

    std::ostringstream floor, things;
    for (int i = 0; i < width * height; ++i) {
        const int column = i % width, row = i / width;
        floor << (i ? "," : "") << 1;
        const bool wall = row == 0 || column == 0 || row == height - 1 || column == width - 1
                          || (row % 8 == 0 && column % 5 != 0);
        const bool player = row == height / 2 && column == width / 2;
        things << (i ? "," : "") << (player ? 3 : wall ? 2 : 0);
    }
    std::ofstream(root / "res/maps/testmap.json")
        << "{\"width\":" << width << ",\"height\":" << height << ",\"tileheight\":32,"
        << "\"layers\":[{\"data\":[" << floor.str() << "]},{\"data\":[" << things.str() << "]}],"
        << "\"tilesets\":[{\"name\":\"bench\",\"image\":\"../gfx/bench.png\",\"firstgid\":1,"
        << "\"tileproperties\":{\"0\":{\"type\":\"floor\",\"solid\":false},"
        << "\"1\":{\"type\":\"wall\",\"solid\":true},\"2\":{\"type\":\"player\",\"solid\":false}}}]}";
    std::ofstream goals(root / "res/txt/goals.ini");
    goals << "start = Walk.\n";
    for (int p = 0; p < 3; ++p)
        goals << "[part" << p << "]\nlivery = Walk.\ntable = Walk.\nreport = Walk.\n";
}

} // namespace

int main()
{
    Keyboard::initialize();
    const fs::path home = fs::current_path();
    if (fs::exists("res/maps/testmap.json"))
        measure("shipped map");

    const fs::path scratch = fs::temp_directory_path() / "tarnwick-bench";
    fs::remove_all(scratch);
    writeLargeMap(scratch, 200, 150);
    fs::current_path(scratch);
    measure("generated 200 x 150 map");
    fs::current_path(home);
    fs::remove_all(scratch);
    Game::window.close();
    return 0;
}

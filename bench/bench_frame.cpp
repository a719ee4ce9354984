// How fast the game starts, draws and runs, measured side by side in one run:
// - start-up: from building the world to the first frame on screen;
// - the CPU the game uses at the 60 fps cap, standing still and walking,
//   against an empty window clearing and displaying at the same rate (with
//   and without the per-frame polling of events and keys);
// - frame time without the frame cap, for the shipped map (when run from the
//   repository root) and a generated 256 x 256 map with two layers, with load
//   time, memory and draw calls.
// Each drawing figure is given twice: as the game draws now (runs of sprites
// from one atlas per tileset), and sprite by sprite from each tile's own
// texture, as the game drew before.
#include "core/Entity.h"
#include "core/Game.h"
#include "core/GameState.h"
#include "input/Keyboard.h"
#include "world/MainState.h"
#include "render/SpriteBatch.h"
#include "render/StillFrame.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Window/Event.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <unistd.h>

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

// CPU time of the whole process (every thread of the software renderer too).
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

enum class Walk { standStill, thereAndBack, round };

// This frame's keys: walk right then left then stand (thereAndBack), or a
// square round of 64 frames a side that keeps the camera moving.
void holdKeysFor(Walk walk, int frame)
{
    static bool held[sf::Keyboard::KeyCount];
    for (int k = 0; k < sf::Keyboard::KeyCount; ++k) {
        Keyboard::lastState[k] = held[k];
        Keyboard::currentState[k] = false;
    }
    if (walk == Walk::thereAndBack) {
        if (frame < 100)
            Keyboard::currentState[sf::Keyboard::Right] = true;
        else if (frame < 200)
            Keyboard::currentState[sf::Keyboard::Left] = true;
    } else if (walk == Walk::round) {
        static const sf::Keyboard::Key side[4] = {sf::Keyboard::Right, sf::Keyboard::Down, sf::Keyboard::Left,
                                                  sf::Keyboard::Up};
        Keyboard::currentState[side[frame / 64 % 4]] = true;
    }
    std::copy(std::begin(Keyboard::currentState), std::end(Keyboard::currentState), std::begin(held));
}

struct Run {
    double frameMs = 0;     // wall time per frame
    double worstMs = 0;     // the slowest frame
    double cpuPerFrame = 0; // process CPU per frame
    double drawCalls = 0;   // per frame
    double walked = 0;      // how far the camera travelled, pixels
};

// Runs frames as Game::run does: events, the key snapshot (then this frame's
// keys put over it), update, draw. `asGame` false leaves out events and keys.
Run frames(int count, Walk walk, bool asGame = true)
{
    SpriteBatch& batch = SpriteBatch::game();
    Run run;
    const unsigned long calls = batch.drawCalls;
    sf::Vector2f camera = Game::window.getView().getCenter();
    const double cpu = cpuMs();
    const auto start = Clock::now();
    for (int f = 0; f < count; ++f) {
        const auto t = Clock::now();
        if (asGame) {
            sf::Event event;
            while (Game::window.pollEvent(event)) {
            }
            Keyboard::update();
        }
        holdKeysFor(walk, f);
        Game::frame();
        run.worstMs = std::max(run.worstMs, ms(Clock::now() - t));
        const sf::Vector2f now = Game::window.getView().getCenter();
        run.walked += std::abs(now.x - camera.x) + std::abs(now.y - camera.y);
        camera = now;
    }
    run.frameMs = ms(Clock::now() - start) / count;
    run.cpuPerFrame = (cpuMs() - cpu) / count;
    run.drawCalls = static_cast<double>(batch.drawCalls - calls) / count;
    return run;
}

struct World {
    std::size_t entities = 0;
    double loadMs = 0;
    long memoryKiB = 0;
    Run now, before; // batched, and sprite by sprite
};

// Loads the world in the working folder and measures frames without a cap,
// as the game draws now and sprite by sprite.
World measureWorld()
{
    World world;
    const long before = residentKiB();
    const auto start = Clock::now();
    Game::currentState = new MainState();
    world.loadMs = ms(Clock::now() - start);
    world.memoryKiB = residentKiB() - before;
    world.entities = Game::currentState->entities.size();
    const sf::View camera = Game::window.getView();
    // Frames alone, without the key polling, which waits on the X server.
    frames(20, Walk::standStill, false);
    world.now = frames(300, Walk::thereAndBack, false);
    Game::destroyStates();

    // The same walk again from the start, each sprite drawn by itself.
    Game::currentState = new MainState();
    Game::window.setView(camera);
    SpriteBatch::game().batching = false;
    frames(20, Walk::standStill, false);
    world.before = frames(300, Walk::thereAndBack, false);
    SpriteBatch::game().batching = true;
    Game::destroyStates();
    return world;
}

void writeLargeMap(const fs::path& root, int width, int height)
{
    fs::create_directories(root / "res/maps");
    fs::create_directories(root / "res/gfx");
    fs::create_directories(root / "res/txt");
    sf::Image tiles;
    tiles.create(96, 32, sf::Color(90, 90, 90));
    for (unsigned x = 32; x < 64; ++x)
        for (unsigned y = 0; y < 32; ++y)
            tiles.setPixel(x, y, sf::Color(160, 120, 60));
    tiles.saveToFile((root / "res/gfx/bench.png").string());

    std::ostringstream floor, things;
    for (int i = 0; i < width * height; ++i) {
        const int column = i % width, row = i / width;
        floor << (i ? "," : "") << 1;
        const bool wall = row == 0 || column == 0 || row == height - 1 || column == width - 1
                          || (row % 8 == 0 && column % 5 != 0);
        const bool player = row == height / 2 + 3 && column == width / 2;
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

// Memory per entity is only telling where the entities outweigh what the
// first world of a run loads besides them (the graphics driver, the font).
void printWorld(const char* label, const World& w, bool perEntity)
{
    char bytes[16] = "-";
    if (perEntity)
        std::snprintf(bytes, sizeof bytes, "%.0f", w.memoryKiB * 1024.0 / std::max<std::size_t>(w.entities, 1));
    std::printf("%-24s %8zu %7.1f %8ld %7s | %6.2f %6.2f %6.2f %5.1f | %6.2f %6.2f %6.2f %5.1f\n", label, w.entities,
                w.loadMs, w.memoryKiB, bytes, w.now.frameMs, w.now.worstMs, w.now.cpuPerFrame, w.now.drawCalls,
                w.before.frameMs, w.before.worstMs, w.before.cpuPerFrame, w.before.drawCalls);
}

void printCapped(const char* label, const Run& r, const Run& floor)
{
    // A busy machine may not reach the cap: the share of a core is given for
    // 60 frames a second, from the CPU each frame took.
    std::printf("%-30s %8.3f %7.1f %% %7.2f x %9.1f %8.1f  %6.0f px\n", label, r.cpuPerFrame, 6.0 * r.cpuPerFrame,
                r.cpuPerFrame / floor.cpuPerFrame, r.drawCalls, 1000.0 / r.frameMs, r.walked);
}

// The figures of both window sizes, for the table side by side.
struct Capped {
    double floor = 0, still = 0, walking = 0;
} capped[2];

// The CPU the game takes at its own cap of 60 frames per second, as a player
// runs it, against an empty window that only clears and displays.
void measureCapped(unsigned scale)
{
    Game::window.setSize(sf::Vector2u(Game::pictureWidth * scale, Game::pictureHeight * scale));
    sf::Event pending;
    while (Game::window.pollEvent(pending)) {
    }
    Game::fitView();
    StillFrame::enabled = true;
    Game::window.setFramerateLimit(60);
    const int count = 180;
    frames(20, Walk::standStill, false);
    const Run floor = frames(count, Walk::standStill, false); // nothing current: clear and display
    const Run keys = frames(count, Walk::standStill);         // and poll events and keys
    Run still[2], walking[2];
    for (const bool batching : {false, true}) {
        SpriteBatch::game().batching = batching;
        Game::currentState = new MainState();
        frames(20, Walk::standStill);
        still[batching] = frames(count, Walk::standStill);
        walking[batching] = frames(count, Walk::round);
        Game::destroyStates();
    }
    SpriteBatch::game().batching = true;
    Game::window.setFramerateLimit(0);
    StillFrame::enabled = false;

    std::printf("CPU at the 60 fps cap, shipped map, window %u x %u (%ux), %d frames each (process CPU, all "
                "threads; the game's frames poll events and keys as Game::run does; standing still the kept "
                "picture is shown)\n",
                Game::pictureWidth * scale, Game::pictureHeight * scale, scale, count);
    std::printf("%-30s %8s %9s %9s %9s %8s  %9s\n", "", "CPU ms", "of a core", "of the", "draw", "fps", "camera");
    std::printf("%-30s %8s %9s %9s %9s %8s  %9s\n", "what", "/frame", "at 60 fps", "floor", "calls", "reached", "moved");
    printCapped("empty window (the floor)", floor, floor);
    printCapped("empty window polling keys", keys, floor);
    printCapped("standing still, now", still[1], floor);
    printCapped("walking, now", walking[1], floor);
    printCapped("standing still, before", still[0], floor);
    printCapped("walking, before", walking[0], floor);
    std::printf("CPU now / before: standing still %.2f, walking %.2f\n\n", still[1].cpuPerFrame / still[0].cpuPerFrame,
                walking[1].cpuPerFrame / walking[0].cpuPerFrame);
    capped[scale == 1 ? 0 : 1] = {floor.cpuPerFrame, still[1].cpuPerFrame, walking[1].cpuPerFrame};
}


void printScales()
{
    std::printf("CPU at 60 fps, side by side     %14s %14s\n", "1x 640 x 480", "2x 1280 x 960");
    std::printf("%-32s %12.1f %% %12.1f %%\n", "empty window", 6.0 * capped[0].floor, 6.0 * capped[1].floor);
    std::printf("%-32s %12.1f %% %12.1f %%\n", "standing still", 6.0 * capped[0].still, 6.0 * capped[1].still);
    std::printf("%-32s %12.1f %% %12.1f %%\n", "walking", 6.0 * capped[0].walking, 6.0 * capped[1].walking);
    std::printf("%-32s %12.2f x %12.2f x\n", "standing still / empty window", capped[0].still / capped[0].floor,
                capped[1].still / capped[1].floor);
    std::printf("%-32s %12.2f x %12.2f x\n\n", "walking / empty window", capped[0].walking / capped[0].floor,
                capped[1].walking / capped[1].floor);
}

} // namespace

int main()
{
    Game::openWindow();
    Keyboard::initialize();
    const fs::path home = fs::current_path();
    const bool shipped = fs::exists("res/maps/testmap.json");
    std::printf("Tarnwick benchmark: %zu bytes per Entity object\n\n", sizeof(Entity));

    World home_world;
    if (shipped) {
        // What the player waits for once the window is open: the world built
        // and its first frame on the screen. The memory it takes includes the
        // graphics driver's first use.
        const long before = residentKiB();
        const auto start = Clock::now();
        Game::currentState = new MainState();
        const auto built = Clock::now();
        Game::frame();
        const auto shown = Clock::now();
        const long memory = residentKiB() - before;
        std::printf("Start-up, shipped map: first frame shown %.1f ms after the window opened "
                    "(world built in %.1f ms, first frame drawn in %.1f ms), +%ld KiB\n\n",
                    ms(shown - start), ms(built - start), ms(shown - built), memory);
        Game::destroyStates();

        measureCapped(1);
        measureCapped(2);
        printScales();
        Game::window.setSize(sf::Vector2u(Game::pictureWidth, Game::pictureHeight));
        Game::fitView();
        home_world = measureWorld();
        home_world.memoryKiB = memory;
    }
    // A folder of this run's own: benchmarks run side by side must not share one.
    const fs::path scratch = fs::temp_directory_path() / ("tarnwick-bench-" + std::to_string(getpid()));
    fs::remove_all(scratch);
    writeLargeMap(scratch, 256, 256);
    fs::current_path(scratch);
    const World large = measureWorld();
    fs::current_path(home);
    fs::remove_all(scratch);

    std::printf("Frame time without a frame cap or key polling, 300 frames: walk right 100, left 100, stand 100\n");
    std::printf("%-24s %8s %7s %8s %7s | %-27s | %-27s\n", "", "", "load", "memory", "bytes", "now: atlas batches",
                "before: sprite by sprite");
    std::printf("%-24s %8s %7s %8s %7s | %6s %6s %6s %5s | %6s %6s %6s %5s\n", "map", "entities", "ms", "KiB",
                "/entity", "ms", "worst", "CPU ms", "calls", "ms", "worst", "CPU ms", "calls");
    if (shipped)
        printWorld("shipped map", home_world, false);
    printWorld("generated 256 x 256 x 2", large, true);
    if (shipped)
        std::printf("generated / shipped: frame time %.2f, CPU %.2f now; frame time %.2f, CPU %.2f before\n",
                    large.now.frameMs / home_world.now.frameMs, large.now.cpuPerFrame / home_world.now.cpuPerFrame,
                    large.before.frameMs / home_world.before.frameMs,
                    large.before.cpuPerFrame / home_world.before.cpuPerFrame);

    Game::window.close();
    return 0;
}

// A monkey at the keyboard of the shipped game, headless: the real world
// loaded from res/, frames run exactly as the driver runs them, and random
// keys chosen from a seeded generator, so that any failure can be replayed
// with the same seed. After every frame the story's counters, the player's
// position and the chain of conversations are checked; memory is compared
// between a checkpoint and the end. When the story ends, a new game starts.
//
// Every frame is updated as the driver does it; only one in `--draw-every`
// (default 60, one a second of play) is also drawn and displayed, because
// drawing in software costs far more than everything else together.
//
//   soak [--frames N] [--seed S] [--draw-every N] [--endings N]   (from the repository root)
//
// With --endings, the story must have ended (closing card and all) at least
// that often, so that a run is known to have gone through the whole story.
#include "dialogue/DialogueState.h"
#include "screens/EndingCard.h"
#include "screens/TitleScreen.h"
#include "core/Entity.h"
#include "core/Game.h"
#include "core/GameState.h"
#include "input/Keyboard.h"
#include "world/MainState.h"
#include "characters/Player.h"
#include "replay/StateDigest.h"
#include "TestSupport.h"
#include "characters/Victim.h"

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <queue>
#include <set>
#include <random>
#include <string>
#include <vector>

#include <malloc.h>

#if defined(__SANITIZE_ADDRESS__)
#define SOAK_ASAN 1
// The address sanitizer's own count of the heap in use, and a small
// quarantine: freed memory it holds back would otherwise grow the resident
// size for the first few hundred megabytes of the run, leak or not.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
extern "C" const char* __asan_default_options()
{
    return "quarantine_size_mb=16";
}
#endif

namespace {

using K = sf::Keyboard;

struct Options {
    long frames = 100000;
    unsigned long seed = 1;
    long drawEvery = 60;
    long endings = 0; // the story must have ended at least this often
};

Options parse(int argc, char** argv)
{
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--frames") == 0)
            options.frames = std::strtol(argv[i + 1], nullptr, 10);
        else if (std::strcmp(argv[i], "--seed") == 0)
            options.seed = std::strtoul(argv[i + 1], nullptr, 10);
        else if (std::strcmp(argv[i], "--draw-every") == 0)
            options.drawEvery = std::max(1L, std::strtol(argv[i + 1], nullptr, 10));
        else if (std::strcmp(argv[i], "--endings") == 0)
            options.endings = std::strtol(argv[i + 1], nullptr, 10);
    }
    return options;
}

// Heap bytes in use (what a leak makes grow) and the resident set size.
std::size_t heapInUse()
{
#ifdef SOAK_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

std::size_t residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * 4096;
}

struct World {
    GameState* state = nullptr;
    Player* player = nullptr;
    int victims = 0;
    std::vector<Entity*> speakers; // whoever may have something to say
};

// What the monkey does next. Part of the time it is a player of sorts: it
// picks someone to talk to, walks there by the shortest free way, faces them,
// talks and pages and answers at random, so that the story moves on and ends;
// the rest of the time it mashes keys, walks into walls and holds several keys
// at once.
class Monkey {
public:
    explicit Monkey(unsigned long seed)
        : random(seed)
    {
    }

    std::vector<K::Key> next(const World& world)
    {
        if (remaining-- > 0)
            return held;
        held.clear();
        remaining = 0;
        if (Game::currentState != world.state) {
            converse();
        } else if (world.player && world.player->moving) {
            // keys change nothing mid-step
        } else if (pick(100) < 75) {
            seek(world);
        } else {
            mash();
        }
        return held;
    }

private:
    using Cell = std::pair<int, int>;

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }

    void converse()
    {
        // A key on one frame and none on the next, so that every press counts.
        if (released) {
            released = false;
            static const K::Key keys[] = {K::Space, K::Space, K::Space, K::Num1, K::Num2, K::Num3, K::Return};
            held.push_back(pick(20) == 0 ? randomKey() : keys[pick(7)]);
        } else {
            released = true;
        }
    }

    void mash()
    {
        static const K::Key walks[] = {K::W, K::A, K::S, K::D, K::Up, K::Left, K::Down, K::Right};
        const int roll = pick(100);
        if (roll < 50) {
            held.push_back(walks[pick(8)]);
            remaining = pick(40);
        } else if (roll < 75) {
            held.push_back(walks[pick(8)]);
            held.push_back(pick(2) ? K::Return : K::Space);
            remaining = pick(10);
        } else if (roll < 90) {
            held.push_back(randomKey());
            remaining = pick(5);
        } else {
            remaining = pick(30);
        }
    }

    K::Key randomKey()
    {
        K::Key key;
        do // Escape belongs to the driver's event loop
            key = static_cast<K::Key>(pick(K::KeyCount));
        while (key == K::Escape);
        // The map's key opens a screen outside the story, which the checks
        // here do not follow: a key that does nothing stands in for it.
        return key == K::Tab ? K::F12 : key;
    }

    static int cellOf(int pixels, int size) { return pixels >= 0 ? pixels / size : -((-pixels + size - 1) / size); }

    // One step towards the chosen speaker, or facing and talking to them.
    void seek(const World& world)
    {
        if (!world.player || world.speakers.empty())
            return mash();
        const auto alive = [&](const Entity* e) {
            return std::find(world.state->entities.begin(), world.state->entities.end(), e)
                   != world.state->entities.end();
        };
        if (!target || --patience <= 0 || !alive(target)) {
            // Speakers who left the map (victims whose part is over) are gone.
            target = world.speakers[static_cast<std::size_t>(pick(static_cast<int>(world.speakers.size())))];
            patience = 400;
            if (!alive(target)) {
                target = nullptr;
                return mash();
            }
        }
        const int size = world.player->bounds.width > 0 ? world.player->bounds.width : 32;
        std::set<Cell> blocked;
        for (Entity* e : world.state->entities) {
            if (e->solid && e != world.player && e->bounds.width > 0)
                blocked.insert({cellOf(e->bounds.left, size), cellOf(e->bounds.top, size)});
        }
        const Cell start{cellOf(world.player->x, size), cellOf(world.player->y, size)};
        const Cell goal{cellOf(target->x, size), cellOf(target->y, size)};
        struct Move {
            int dx, dy;
            K::Key key;
        };
        static const Move moves[] = {{0, -1, K::Up}, {1, 0, K::Right}, {0, 1, K::Down}, {-1, 0, K::Left}};
        for (const Move& m : moves) {
            if (start.first + m.dx == goal.first && start.second + m.dy == goal.second) {
                // Next to them: turn (the step is blocked), then talk.
                held.push_back(world.player->direction == faceIndex(m.key) ? K::Return : m.key);
                if (held.back() == K::Return)
                    target = nullptr;
                return;
            }
        }
        // Breadth-first over free cells near the map, at most a few thousand.
        std::map<Cell, K::Key> firstStep;
        std::queue<Cell> open;
        open.push(start);
        firstStep[start] = K::Unknown;
        while (!open.empty() && firstStep.size() < 20000) {
            const Cell here = open.front();
            open.pop();
            for (const Move& m : moves) {
                const Cell there{here.first + m.dx, here.second + m.dy};
                if (there == goal) {
                    held.push_back(here == start ? m.key : firstStep[here]);
                    return;
                }
                if (blocked.count(there) || firstStep.count(there) || std::abs(there.first - start.first) > 80
                    || std::abs(there.second - start.second) > 80)
                    continue;
                firstStep[there] = here == start ? m.key : firstStep[here];
                open.push(there);
            }
        }
        target = nullptr; // no way there: someone else next time
        mash();
    }

    // The player's direction numbers: 0 up, 1 left, 2 down, 3 right.
    static int faceIndex(K::Key key)
    {
        return key == K::Up ? 0 : key == K::Left ? 1 : key == K::Down ? 2 : 3;
    }

    std::mt19937 random;
    std::vector<K::Key> held;
    int remaining = 0;
    bool released = true;
    Entity* target = nullptr;
    int patience = 0;
};

World newGame()
{
    testing_support::resetGame();
    World world;
    world.state = new MainState();
    Game::currentState = world.state;
    Game::running = true;
    for (Entity* e : world.state->entities) {
        if (auto* p = dynamic_cast<Player*>(e))
            world.player = p;
        if (dynamic_cast<Victim*>(e))
            ++world.victims;
        if (e->dialogue || e->type == "victim" || e->type == "warden" || e->type == "table" || e->type == "boss")
            world.speakers.push_back(e);
    }
    return world;
}

bool overlaps(const sf::IntRect& a, const sf::IntRect& b)
{
    return std::max(a.left, b.left) < std::min(a.left + a.width, b.left + b.width)
           && std::max(a.top, b.top) < std::min(a.top + a.height, b.top + b.height);
}

// Empty when all is well, else what is wrong.
std::string check(const World& world)
{
    char problem[256] = "";
    if (Game::part < -1 || Game::part > 3)
        std::snprintf(problem, sizeof problem, "part is %d", Game::part);
    else if (Game::disguise < 0 || Game::disguise > world.victims)
        std::snprintf(problem, sizeof problem, "disguise is %d with %d victims", Game::disguise, world.victims);
    else if (Game::defacedTables < 0 || Game::defacedTables > 3)
        std::snprintf(problem, sizeof problem, "defacedTables is %d", Game::defacedTables);
    if (problem[0])
        return problem;

    // The chain of conversations ends in the world, without a loop; once the
    // story has ended, the closing card stands over the world alone.
    GameState* state = Game::currentState;
    if (auto* card = dynamic_cast<EndingCard*>(state)) {
        if (card->world != world.state)
            return "the closing card stands over something other than the world";
        state = card->world;
    }
    for (int links = 0; state != world.state; ++links) {
        auto* talk = dynamic_cast<DialogueState*>(state);
        if (!talk || links > 1000)
            return "the chain of conversations does not end in the world";
        state = talk->previous;
    }

    if (world.player) {
        for (Entity* e : world.state->entities) {
            if (e != world.player && e->solid && overlaps(e->bounds, world.player->bounds)) {
                std::snprintf(problem, sizeof problem, "the player at (%d, %d) is inside a solid %s at (%d, %d)",
                              world.player->x, world.player->y, e->type.c_str(), e->bounds.left, e->bounds.top);
                return problem;
            }
        }
    }
    return std::string();
}

} // namespace

int main(int argc, char** argv)
{
    const Options options = parse(argc, argv);
    const long checkpoint = options.frames / 10;
    Game::openWindow();
    Keyboard::initialize();
    World world = newGame();
    Monkey monkey(options.seed);

    long conversations = 0, endings = 0;
    int highestPart = -1;
    std::size_t heapAtCheckpoint = 0, residentAtCheckpoint = 0;
    GameState* shown = Game::currentState;
    for (long frame = 1; frame <= options.frames; ++frame) {
        const std::vector<K::Key> keys = monkey.next(world);
        for (int k = 0; k < K::KeyCount; ++k) {
            Keyboard::lastState[k] = Keyboard::currentState[k];
            Keyboard::currentState[k] = false;
        }
        for (K::Key key : keys)
            Keyboard::currentState[key] = true;
        if (frame % options.drawEvery == 0) {
            testing_support::runFrame();
        } else {
            // The driver's frame up to its picture: software drawing costs a
            // hundred times what the game's own work does.
            Game::step();
        }

        if (Game::currentState != shown && dynamic_cast<DialogueState*>(Game::currentState))
            ++conversations;
        shown = Game::currentState;
        highestPart = std::max(highestPart, Game::part);
        // The story ended: the closing card went to the title (the world
        // released with it), and a new game begins.
        if (dynamic_cast<TitleScreen*>(Game::currentState)) {
            ++endings;
            std::printf("soak: the story ended at frame %ld, state %s\n", frame, StateDigest::now().c_str());
            world = newGame();
            shown = Game::currentState;
        } else if (!Game::running) {
            std::fprintf(stderr, "soak: frame %ld (seed %lu): the game ended\n", frame, options.seed);
            return 1;
        }
        const std::string problem = check(world);
        if (!problem.empty()) {
            std::fprintf(stderr, "soak: frame %ld (seed %lu): %s\n", frame, options.seed, problem.c_str());
            return 1;
        }
        if (frame == checkpoint) {
            heapAtCheckpoint = heapInUse();
            residentAtCheckpoint = residentBytes();
        }
    }

    // Two runs with the same seed reach the same state, endings included.
    std::printf("soak: state %s after %ld frames\n", StateDigest::now().c_str(), options.frames);
    const std::size_t heapAtEnd = heapInUse();
    const std::size_t residentAtEnd = residentBytes();
    const auto mib = [](std::size_t bytes) { return static_cast<double>(bytes) / (1 << 20); };
    std::printf("soak: %ld frames, seed %lu: %ld conversations, highest part %d, %ld endings\n", options.frames,
                options.seed, conversations, highestPart, endings);
    std::printf("soak: heap in use %.1f MiB at frame %ld, %.1f MiB at the end; resident %.1f MiB, %.1f MiB\n",
                mib(heapAtCheckpoint), checkpoint, mib(heapAtEnd), mib(residentAtCheckpoint), mib(residentAtEnd));
    testing_support::resetGame();

    if (endings < options.endings) {
        std::fprintf(stderr, "soak: the story ended %ld time(s) in %ld frames, not the %ld asked for\n", endings,
                     options.frames, options.endings);
        return 1;
    }

    // Glyphs drawn for the first time may still add a page to the font's
    // cache; anything more is a leak.
    const std::size_t allowedGrowth = std::size_t(4) << 20;
    if (checkpoint > 0 && heapAtEnd > heapAtCheckpoint + allowedGrowth) {
        std::fprintf(stderr, "soak: the heap grew by %.1f MiB after frame %ld\n",
                     mib(heapAtEnd - heapAtCheckpoint), checkpoint);
        return 1;
    }
    if (checkpoint > 0 && residentAtEnd > residentAtCheckpoint + 8 * allowedGrowth) {
        std::fprintf(stderr, "soak: the resident size grew by %.1f MiB after frame %ld\n",
                     mib(residentAtEnd - residentAtCheckpoint), checkpoint);
        return 1;
    }
    return 0;
}

#include "characters/Boss.h"
#include "dialogue/DialogueBox.h"
#include "dialogue/DialogueState.h"
#include "screens/EndingCard.h"
#include "screens/TitleScreen.h"
#include "characters/Facing.h"
#include "characters/IdleLooks.h"
#include "core/Game.h"
#include "render/Graphics.h"
#include "world/MainState.h"
#include "characters/Player.h"
#include "characters/Table.h"
#include "TestSupport.h"
#include "characters/Victim.h"
#include "characters/Warden.h"
#include "story/StoryRole.h"
#include "story/StoryState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace testing_support;
using K = sf::Keyboard;

namespace {

// The world: an outer hall with the boss (B), the player (P), three victims
// (a, b, c of parts 0, 1 and 2) and three tables (x, y, z; y is a notice board
// with a conversation of its own), and a room behind a door that the warden (W)
// guards, holding one more table (t).
const char* const layout[] = {
    "############",
    "#a.b.c#....#",
    "#.....#....#",
    "#.....#....#",
    "#B.P..W..t.#",
    "#.....#....#",
    "#.....#....#",
    "#x.y.z#....#",
    "############",
};
const int columns = 12, rows = 9;

// Tile numbers of the one tileset (4 x 5 tiles). A table's defaced pictures
// follow its tile, a victim's undisguised picture follows its tile.
enum Tile { Floor = 0, Wall = 1, Hero = 2, Guard = 3, Desk = 4, VictimA = 8, VictimB = 10,
            VictimC = 12, Chief = 14, Notice = 15 };

int tileOf(char c)
{
    switch (c) {
    case 'P': return Hero;
    case 'W': return Guard;
    case 't': case 'x': case 'z': return Desk;
    case 'y': return Notice;
    case 'a': return VictimA;
    case 'b': return VictimB;
    case 'c': return VictimC;
    case 'B': return Chief;
    default: return -1;
    }
}

std::string mapJson(const std::string& tileset)
{
    std::string floor, people;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const char cell = layout[r][c];
            const std::string sep = floor.empty() ? "" : ",";
            floor += sep + std::to_string((cell == '#' ? Wall : Floor) + 1);
            people += sep + std::to_string(tileOf(cell) + 1);
        }
    }
    return R"({"width":12,"height":9,"tilewidth":32,"tileheight":32,
  "layers":[{"name":"ground","data":[)" + floor + R"(]},{"name":"people","data":[)" + people + R"(]}],
  "tilesets":[{"name":")" + tileset + R"(","image":"../gfx/world.png","firstgid":1,"tileproperties":{
    "0":{"type":"floor","solid":false},
    "1":{"type":"wall","solid":true},
    "2":{"type":"player","solid":false},
    "3":{"type":"warden","solid":true,"name":"Warden"},
    "4":{"type":"table","solid":true,"name":"Table"},
    "8":{"type":"victim","solid":true,"part":0,"dialogue":"victim0","name":"Ann","facings":0},
    "10":{"type":"victim","solid":true,"part":"1","dialogue":"victim1","name":"Bea"},
    "12":{"type":"victim","solid":"1","part":2,"dialogue":"victim2","name":"Cal"},
    "14":{"type":"boss","solid":true,"name":"Boss","facings":2},
    "15":{"type":"table","solid":true,"dialogue":"notice","name":"Notice board"}}}]})";
}

std::string twoPages(const std::string& first)
{
    return "<dialogue><text><l>" + first + "</l><l>...</l></text></dialogue>";
}

std::string askXml(const std::string& ask)
{
    std::string xml = "<dialogue><text><l>" + ask + "</l></text><options>"
                      "<o>Yes</o><o>No</o><o>Sure</o></options><responses>";
    for (const char* reply : {"yes", "no", "sure"})
        xml += std::string("<r><dialogue><text><l>") + reply + "</l></text></dialogue></r>";
    return xml + "</responses></dialogue>";
}

class StoryTest : public ::testing::Test {
protected:
    void SetUp() override { resetGame(); }
    void TearDown() override { resetGame(); }

    void build(const std::string& tileset)
    {
        this->tileset = tileset;
        dir.write("res/maps/testmap.json", mapJson(tileset));
        dir.image("res/gfx/world.png", 128, 160);
        dir.image("res/gfx/player.png", 128, 128);
        dir.image("res/gfx/people.png", 128, 96); // Ann's two rows, then the boss's
        for (int i = 0; i < 6; ++i)
            dir.write("res/txt/warden" + std::to_string(i) + ".xml", twoPages("warden" + std::to_string(i)));
        for (int i = 0; i < 4; ++i) {
            const std::string n = std::to_string(i);
            dir.write("res/txt/boss" + n + ".xml", twoPages("boss" + n));
            if (i < 3) {
                dir.write("res/txt/table" + n + ".xml", twoPages("table" + n));
                dir.write("res/txt/victim" + n + "2.xml", askXml("victim" + n + "-ask"));
                dir.write("res/txt/victim" + n + ".xml", leafXml("victim" + n + "-after"));
            }
        }
        dir.write("res/txt/notice.xml", leafXml("notice"));
        dir.write("res/txt/goals.ini", goalsIni());

        Game::running = true;
        Game::currentState = world = new MainState();
        player = find<Player>(3, 4);
        warden = find<Warden>(6, 4);
        boss = find<Boss>(1, 4);
        room = find<Table>(9, 4);
        x = find<Table>(1, 7);
        y = find<Table>(3, 7);
        z = find<Table>(5, 7);
        a = find<Victim>(1, 1);
        b = find<Victim>(3, 1);
        c = find<Victim>(5, 1);
        ASSERT_TRUE(player && warden && boss && room && x && y && z && a && b && c);
        EXPECT_EQ(Game::part, -1);
        EXPECT_EQ(Game::disguise, 0);
        EXPECT_EQ(Game::defacedTables, 0);
    }

    template <class T> T* find(int column, int row) const
    {
        for (Entity* e : world->entities)
            if (auto* t = dynamic_cast<T*>(e); t && e->x == 32 * column && e->y == 32 * row)
                return t;
        return nullptr;
    }

    // One driver frame; the driver runs none once the game has ended.
    void frame(std::initializer_list<K::Key> keys = {})
    {
        if (!Game::running) {
            ADD_FAILURE() << "a frame after the end of the game";
            return;
        }
        holdKeys(keys);
        runFrame();
    }
    void walk(K::Key key, int tiles)
    {
        for (int i = 0; i < 18 * tiles; ++i)
            frame({key});
        EXPECT_FALSE(player->moving);
    }
    // Turns towards a solid neighbour without stepping.
    void face(K::Key key)
    {
        const int px = player->x, py = player->y;
        frame({key});
        frame();
        EXPECT_FALSE(player->moving);
        EXPECT_EQ(player->x, px);
        EXPECT_EQ(player->y, py);
    }
    void talk()
    {
        frame({K::Return});
        frame();
    }
    void pageThrough(int pages)
    {
        for (int i = 0; i < pages && Game::running; ++i) {
            frame({K::Space});
            if (Game::running)
                frame();
        }
    }
    void choose(int option)
    {
        const K::Key keys[] = {K::Num1, K::Num2, K::Num3};
        frame({keys[option - 1]});
        frame();
    }
    // The line on screen, without the speaker's name; empty when no conversation is open.
    static std::string line()
    {
        auto* talk = dynamic_cast<DialogueState*>(Game::currentState);
        if (!talk)
            return "";
        const std::string shown =
            static_cast<DialogueBox*>(talk->entities.front())->message.getString().toAnsiString();
        return shown.substr(shown.find("\n\n") + 2);
    }
    // Talks to a victim in front and answers its question with the option given.
    void answer(const std::string& victim, int option)
    {
        talk();
        EXPECT_EQ(line(), victim + "-ask");
        pageThrough(1);
        choose(option);
        pageThrough(1);
        EXPECT_EQ(Game::currentState, world);
    }
    // Talks to the one in front, expects the first line shown, and reads to the end.
    void converse(const std::string& first, int pages = 2)
    {
        talk();
        EXPECT_EQ(line(), first);
        pageThrough(pages);
        if (Game::running) {
            EXPECT_EQ(Game::currentState, world);
        }
    }
    void expectNothingOpens()
    {
        talk();
        EXPECT_EQ(Game::currentState, world);
    }
    void expectPlayerAt(int column, int row) const
    {
        EXPECT_EQ(std::make_pair(player->x, player->y), std::make_pair(32 * column, 32 * row));
    }
    void expectWardenAt(int column, int row) const
    {
        EXPECT_EQ(std::make_pair(warden->x, warden->y), std::make_pair(32 * column, 32 * row));
        EXPECT_EQ(warden->bounds, sf::IntRect(32 * column, 32 * row, 32, 32));
    }
    int picture(const Entity* e) const
    {
        for (int n = 0; n < 20; ++n)
            if (e->sprite.getTexture() == Graphics::getTexture(tileset, n))
                return n;
        return -1;
    }
    int playerFrame() const
    {
        for (int n = 0; n < 16; ++n)
            if (player->sprite.getTexture() == Graphics::getTexture("player", n))
                return n;
        return -1;
    }
    bool present(const Entity* e) const
    {
        return std::find(world->entities.begin(), world->entities.end(), e) != world->entities.end();
    }
    // The story has ended: the closing card stands over the world and names
    // the ending; a key within its short grace leaves it there.
    void expectEndingCard(const std::string& ending)
    {
        EXPECT_TRUE(Game::running);
        auto* card = dynamic_cast<EndingCard*>(Game::currentState);
        ASSERT_NE(card, nullptr);
        EXPECT_EQ(card->world, world);
        EXPECT_EQ(card->ending, ending);
        frame({K::Space});
        EXPECT_EQ(Game::currentState, card) << "a key within the grace period";
    }
    // The first key after the grace: the title, never the desktop. The world
    // goes with the card.
    void closeEndingCard()
    {
        auto* card = dynamic_cast<EndingCard*>(Game::currentState);
        ASSERT_NE(card, nullptr);
        card->grace = 0;
        frame();
        frame({K::Space});
        EXPECT_TRUE(Game::running);
        EXPECT_NE(dynamic_cast<TitleScreen*>(Game::currentState), nullptr);
        world = nullptr;
    }
    // The goal line over the world now.
    std::string goal() const { return static_cast<MainState*>(world)->goalLine.text(); }
    void expectCounters(int part, int disguise, int defaced) const
    {
        EXPECT_EQ(Game::part, part);
        EXPECT_EQ(Game::disguise, disguise);
        EXPECT_EQ(Game::defacedTables, defaced);
    }

    ResourceDir dir;
    std::string tileset;
    GameState* world = nullptr;
    Player* player = nullptr;
    Warden* warden = nullptr;
    Boss* boss = nullptr;
    Table *room = nullptr, *x = nullptr, *y = nullptr, *z = nullptr;
    Victim *a = nullptr, *b = nullptr, *c = nullptr;
};

TEST_F(StoryTest, ThreeDisguisesTakenEarlyOpenTheWardensDoorInEveryPart)
{
    build("story_disguised");
    frame();
    EXPECT_EQ(playerFrame(), 3);
    EXPECT_EQ(goal(), "start");

    // Start phase: the warden says nothing and lets nobody by.
    walk(K::Right, 2);
    expectPlayerAt(5, 4);
    face(K::Right);
    expectNothingOpens();
    walk(K::Right, 1);
    expectPlayerAt(5, 4);
    expectWardenAt(6, 4);

    // The notice board shows its notice and cannot be defaced yet; a plain table says nothing.
    walk(K::Left, 2);
    walk(K::Down, 2);
    expectPlayerAt(3, 6);
    face(K::Down);
    converse("notice", 1);
    EXPECT_EQ(picture(y), Notice);
    walk(K::Left, 2);
    face(K::Down);
    expectNothingOpens();
    expectCounters(-1, 0, 0);

    // The victims: Bea declines once, then all three give up their disguises.
    walk(K::Right, 2);
    walk(K::Up, 4);
    expectPlayerAt(3, 2);
    face(K::Up);
    answer("victim1", 2);
    expectCounters(-1, 0, 0);
    EXPECT_EQ(picture(b), VictimB);
    answer("victim1", 3);
    expectCounters(-1, 1, 0);
    EXPECT_EQ(picture(b), VictimB + 1);
    EXPECT_EQ(playerFrame(), 4); // facing up in the first disguise
    converse("victim1-after", 1);
    EXPECT_EQ(Game::disguise, 1);

    walk(K::Left, 2);
    face(K::Up);
    answer("victim0", 1);
    EXPECT_EQ(picture(a), VictimA + 1);
    walk(K::Right, 4);
    expectPlayerAt(5, 2);
    face(K::Up);
    answer("victim2", 1);
    EXPECT_EQ(picture(c), VictimC + 1);
    expectCounters(-1, 3, 0);
    EXPECT_EQ(playerFrame(), 12);

    // The boss opens the story; a second talk in part 0 opens nothing.
    walk(K::Down, 2);
    walk(K::Left, 3);
    expectPlayerAt(2, 4);
    face(K::Left);
    talk();
    EXPECT_EQ(line(), "boss0");
    expectCounters(0, 3, 0);
    pageThrough(2);
    EXPECT_TRUE(Game::running);
    expectNothingOpens();
    EXPECT_EQ(goal(), "part0 table 1/3");

    // Part 0: the warden steps aside; the table in his room is defaced.
    walk(K::Right, 3);
    face(K::Right);
    converse("warden1");
    expectWardenAt(7, 5);
    walk(K::Right, 3);
    expectPlayerAt(8, 4);
    face(K::Right);
    converse("table0");
    EXPECT_EQ(picture(room), Desk + 1);
    expectCounters(0, 3, 1);
    expectNothingOpens();
    EXPECT_EQ(goal(), "part0 report 1/3");

    walk(K::Left, 6);
    expectPlayerAt(2, 4);
    face(K::Left);
    converse("boss1");
    expectCounters(1, 3, 1);
    EXPECT_FALSE(present(a));
    EXPECT_TRUE(present(b));
    EXPECT_TRUE(present(c));
    expectWardenAt(7, 5); // three disguises are still ahead of part 1
    EXPECT_EQ(goal(), "part1 table 2/3");

    // Part 1.
    walk(K::Right, 5);
    expectPlayerAt(7, 4);
    face(K::Down);
    converse("warden3");
    expectWardenAt(7, 5);
    walk(K::Left, 5);
    walk(K::Down, 2);
    walk(K::Left, 1);
    expectPlayerAt(1, 6);
    face(K::Down);
    converse("table1");
    EXPECT_EQ(picture(x), Desk + 2);
    walk(K::Right, 2);
    face(K::Down);
    converse("notice", 1); // the second table of this part: its own conversation, no change
    EXPECT_EQ(picture(y), Notice);
    expectCounters(1, 3, 2);
    walk(K::Up, 2);
    walk(K::Left, 1);
    face(K::Left);
    converse("boss2");
    expectCounters(2, 3, 2);
    EXPECT_FALSE(present(b));
    EXPECT_TRUE(present(c));
    expectWardenAt(7, 5);

    // Part 2 and the ending.
    walk(K::Right, 5);
    face(K::Down);
    converse("warden5");
    expectWardenAt(7, 5);
    walk(K::Left, 2);
    walk(K::Down, 2);
    expectPlayerAt(5, 6);
    face(K::Down);
    converse("table2");
    EXPECT_EQ(picture(z), Desk + 3);
    expectCounters(2, 3, 3);
    walk(K::Up, 2);
    walk(K::Left, 3);
    face(K::Left);
    talk();
    EXPECT_EQ(line(), "boss3");
    expectCounters(3, 3, 3);
    pageThrough(2);
    expectEndingCard("The end"); // the last conversation had no answers
    EXPECT_TRUE(present(c)); // the world is never updated again
    EXPECT_EQ(picture(room), Desk + 1);
    EXPECT_EQ(playerFrame(), 15);
    closeEndingCard();
}

TEST_F(StoryTest, WithoutDisguisesTheWardenNeverMovesButTheStoryStillEnds)
{
    build("story_plain");
    walk(K::Up, 2);
    face(K::Up);
    answer("victim1", 2);
    walk(K::Down, 2);
    walk(K::Left, 1);
    face(K::Left);
    converse("boss0");
    expectCounters(0, 0, 0);
    expectNothingOpens();
    EXPECT_EQ(goal(), "part0 livery 1/0");

    // Part 0: the warden keeps his post; the table at the far right is defaced.
    walk(K::Right, 3);
    face(K::Right);
    converse("warden0");
    expectWardenAt(6, 4);
    walk(K::Right, 1);
    expectPlayerAt(5, 4);
    walk(K::Down, 2);
    face(K::Down);
    converse("table0");
    EXPECT_EQ(picture(z), Desk + 1);
    EXPECT_EQ(goal(), "part0 report 1/0");
    walk(K::Up, 2);
    walk(K::Left, 3);
    face(K::Left);
    converse("boss1");
    expectCounters(1, 0, 1);
    EXPECT_FALSE(present(a));
    EXPECT_EQ(goal(), "part1 livery 2/0");

    // Part 1: the notice board is defaced with the part's conversation instead of its notice.
    walk(K::Right, 3);
    face(K::Right);
    converse("warden2");
    expectWardenAt(6, 4);
    walk(K::Left, 2);
    walk(K::Down, 2);
    face(K::Down);
    converse("table1");
    EXPECT_EQ(picture(y), Notice + 2);
    walk(K::Left, 2);
    face(K::Down);
    expectNothingOpens();
    EXPECT_EQ(picture(x), Desk);
    walk(K::Right, 1);
    walk(K::Up, 2);
    face(K::Left);
    converse("boss2");
    expectCounters(2, 0, 2);
    EXPECT_FALSE(present(b));

    // Part 2.
    walk(K::Right, 3);
    face(K::Right);
    converse("warden4");
    expectWardenAt(6, 4);
    walk(K::Down, 2);
    walk(K::Left, 4);
    expectPlayerAt(1, 6);
    face(K::Down);
    converse("table2");
    EXPECT_EQ(picture(x), Desk + 3);
    walk(K::Right, 1);
    walk(K::Up, 2);
    expectPlayerAt(2, 4);
    face(K::Left);
    talk();
    EXPECT_EQ(line(), "boss3");
    pageThrough(2);
    expectEndingCard("The end");
    expectCounters(3, 0, 3);
    EXPECT_TRUE(present(c));
    EXPECT_EQ(picture(room), Desk);
    EXPECT_EQ(playerFrame(), 3);
    closeEndingCard();
}

} // namespace

// Ann and the boss have four facings each; they turn to the player while the
// conversation lasts, from whichever side, and turn back after. Ann faces the
// player from the row without her livery once she has lent it, and after the
// talk keeps that look. The warden has no facings: he keeps his one picture.
TEST_F(StoryTest, CharactersFaceThePlayerWhileTalkingAndTurnBack)
{
    build("story_facing");
    frame();
    const auto facing = [](const Entity* e) {
        for (int n = 0; n < 12; ++n)
            if (e->sprite.getTexture() == Graphics::getTexture("people", n))
                return n;
        return -1;
    };
    // The boss at (1, 4), talked to from the right: he faces right (row 2: frame 9).
    walk(K::Left, 1);
    face(K::Left);
    talk();
    ASSERT_NE(openBox(), nullptr);
    EXPECT_EQ(facing(boss), 9);
    pageThrough(2);
    ASSERT_EQ(Game::currentState, world);
    EXPECT_EQ(picture(boss), Chief) << "back to his own picture";

    // Ann at (1, 1), from the right (frame 1), declining: back to her picture.
    walk(K::Up, 3);
    expectPlayerAt(2, 1);
    face(K::Left);
    talk();
    EXPECT_EQ(facing(a), 1);
    pageThrough(1);
    choose(2);
    pageThrough(1);
    ASSERT_EQ(Game::currentState, world);
    EXPECT_EQ(picture(a), VictimA);
    // From below (frame 2): she lends her livery, and keeps the look without it;
    // then she faces the player from the row without it (frame 6).
    walk(K::Down, 1);
    walk(K::Left, 1);
    face(K::Up);
    talk();
    EXPECT_EQ(facing(a), 2);
    pageThrough(1);
    choose(1);
    EXPECT_EQ(facing(a), 2) << "still turned while the answer is read";
    pageThrough(1);
    ASSERT_EQ(Game::currentState, world);
    EXPECT_EQ(picture(a), VictimA + 1);
    talk();
    EXPECT_EQ(facing(a), 6);
    pageThrough(1);
    EXPECT_EQ(picture(a), VictimA + 1);

    // No facings: the picture never changes.
    EXPECT_EQ(Facing::towardsPlayer(warden, world).who, nullptr);
    EXPECT_EQ(picture(warden), Guard);
    // The turn follows the longer distance; on the same cell, down.
    const struct {
        sf::Vector2i to;
        int column;
    } columns[] = {{{0, -32}, 0}, {{32, 0}, 1}, {{0, 32}, 2}, {{-32, 0}, 3}, {{40, -32}, 1}, {{-5, 90}, 2}, {{0, 0}, 2}};
    for (const auto& c : columns)
        EXPECT_EQ(Facing::column({0, 0}, c.to), c.column) << c.to.x << ", " << c.to.y;
}

namespace {

// The checker's explorer asks each character's rules of a story state; the
// world asks the character. Both must open the same conversation, in every
// kind of state, with the lists a world may leave out present too.
TEST_F(StoryTest, EveryoneOpensInTheWorldWhatTheirRulesOpenOnTheStoryState)
{
    dir.write("res/txt/wardenwait.xml", leafXml("wardenwait"));
    for (int i = 0; i < 3; ++i) {
        dir.write("res/txt/bosswait" + std::to_string(i) + ".xml", leafXml("bosswait" + std::to_string(i)));
        dir.write("res/txt/tabledone" + std::to_string(i + 1) + ".xml", leafXml("tabledone" + std::to_string(i + 1)));
    }
    const auto built = [&]() -> MainState& { return static_cast<MainState&>(*world); };
    build("story");
    const StoryState start = StoryState::capture(built());
    const auto state = [&](int part, int disguise, std::vector<int> tables, std::string victims, std::string aside) {
        StoryState s = start;
        s.part = part;
        s.disguise = disguise;
        s.defacedTables = static_cast<int>(std::count_if(tables.begin(), tables.end(), [](int t) { return t; }));
        s.tables = tables;
        for (std::size_t k = 0; k < s.victims.size(); ++k)
            s.victims[k] = static_cast<StoryState::VictimState>(victims[k]);
        for (std::size_t k = 0; k < s.wardensAside.size(); ++k)
            s.wardensAside[k] = aside[k] == '1';
        return s;
    };
    // Tables in the world's order: room, x, y, z.
    const StoryState states[] = {
        start,
        state(0, 0, {0, 0, 0, 0}, "kkk", "0"),
        state(0, 1, {0, 0, 0, 1}, "gkk", "1"),
        state(1, 2, {0, 0, 2, 1}, "lgk", "1"),
        state(2, 2, {3, 0, 2, 1}, "llk", "0"),
    };
    for (const StoryState& wanted : states) {
        SCOPED_TRACE(wanted.toText());
        resetGame();
        build("story");
        std::string why;
        ASSERT_TRUE(wanted.apply(built(), &why)) << why;
        std::size_t tables = 0, wardens = 0;
        std::vector<Entity*> cast(world->entities.begin(), world->entities.end());
        // The boss moves the story on as his conversation opens: he comes last.
        std::stable_partition(cast.begin(), cast.end(), [](Entity* e) { return !dynamic_cast<Boss*>(e); });
        for (Entity* e : cast) {
            const auto* role = dynamic_cast<const StoryRole*>(e);
            if (!role)
                continue;
            std::size_t slot = 0;
            if (auto* v = dynamic_cast<Victim*>(e)) {
                const auto& known = built().cast.victims;
                slot = static_cast<std::size_t>(std::find(known.begin(), known.end(), v) - known.begin());
                if (v->removed)
                    continue;
            } else if (dynamic_cast<Table*>(e)) {
                slot = tables++;
            } else if (dynamic_cast<Warden*>(e)) {
                slot = wardens++;
            }
            StoryState asked = wanted;
            const DialogueTree* expected = role->opens(asked, slot);
            EXPECT_EQ(offered(e), expected) << e->name << " (" << e->type << ")";
            EXPECT_EQ(StoryState::fromGame().part, asked.part) << e->name;
        }
    }
}

} // namespace

// Standing about, Ann and the boss glance to one side, then the other, each
// at their own moment, for a second every ten; never while a conversation is
// open, and a talk in the middle of a glance leaves them looking ahead once
// it is over.
TEST_F(StoryTest, PeopleStandingAboutGlanceAsideNowAndThenButNotInAConversation)
{
    build("story_idle");
    auto* looks = &static_cast<MainState*>(world)->idleLooks;
    const auto facing = [](const Entity* e) {
        for (int n = 0; n < 12; ++n)
            if (e->sprite.getTexture() == Graphics::getTexture("people", n))
                return n;
        return -1;
    };
    // Frames until `e` next starts a glance: 1 to a period.
    const auto untilGlance = [&](const Entity* e) {
        return IdleLooks::period - (looks->steps + IdleLooks::phase(e->x, e->y)) % IdleLooks::period;
    };
    ASSERT_NE(IdleLooks::phase(a->x, a->y), IdleLooks::phase(boss->x, boss->y)) << "they glance at one moment";

    struct Glance {
        Entity* who;
        int ahead; // its own picture
        int row;   // its row of the characters' sheet
    };
    const Glance glances[] = {{a, picture(a), 0}, {boss, picture(boss), 2}};
    for (const Glance& g : glances) {
        int first = -1;
        for (int n = 0; n < 2; ++n) {
            for (long k = untilGlance(g.who); k > 1; --k)
                frame();
            EXPECT_EQ(picture(g.who), g.ahead) << "just before glance " << n;
            frame();
            const int side = facing(g.who);
            EXPECT_TRUE(side == 4 * g.row + 1 || side == 4 * g.row + 3) << "glance " << n << ": frame " << side;
            EXPECT_NE(side, first) << "the same side twice";
            first = side;
            for (long k = 1; k < IdleLooks::length; ++k)
                frame();
            EXPECT_EQ(facing(g.who), side) << "the glance's last step";
            frame();
            EXPECT_EQ(picture(g.who), g.ahead) << "after glance " << n;
        }
    }

    // The boss mid-glance is talked to: he faces the player while it lasts,
    // through a whole round of glances, and looks ahead after.
    walk(K::Left, 1);
    for (long k = untilGlance(boss); k > 0; --k)
        frame();
    EXPECT_NE(facing(boss), -1);
    face(K::Left);
    talk();
    ASSERT_NE(openBox(), nullptr);
    for (long k = 0; k < IdleLooks::period + IdleLooks::length; ++k) {
        frame();
        ASSERT_EQ(facing(boss), 9) << "turned to the player " << k << " frames into the talk";
    }
    pageThrough(2);
    ASSERT_EQ(Game::currentState, world);
    for (long k = 0; k < IdleLooks::length; ++k)
        frame();
    EXPECT_EQ(picture(boss), glances[1].ahead);
}

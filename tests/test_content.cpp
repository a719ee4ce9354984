// Checks of the shipped game data under res/: everything the game needs of
// it, and a play-through of the shipped story along the intended route.
#include "audio/Audio.h"
#include "characters/Boss.h"
#include "check/Checker.h"
#include "dialogue/DialogueBox.h"
#include "dialogueformat/DialogueTree.h"
#include "screens/EndingCard.h"
#include "core/Game.h"
#include "screens/GoalLine.h"
#include "story/Goals.h"
#include "render/Graphics.h"
#include "render/WindowText.h"
#include "world/MainState.h"
#include "world/Map.h"
#include "world/RoomBanner.h"
#include "mapformat/MapDocument.h"
#include "characters/Player.h"
#include "replay/Session.h"
#include "replay/StateDigest.h"
#include "story/SaveGame.h"
#include "StoryDriver.h"
#include "characters/Table.h"
#include "TestSupport.h"
#include "screens/MenuScreen.h"
#include "screens/TitleScreen.h"
#include "characters/Victim.h"
#include "disk/WorldIdentity.h"
#include "characters/Warden.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

fs::path sourceDir()
{
    const char* dir = std::getenv("TARNWICK_SOURCE_DIR");
    return dir ? fs::path(dir) : fs::current_path();
}

// Runs a test inside the repository root, where the game finds res/.
class ShippedContent : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous = fs::current_path();
        fs::current_path(sourceDir());
        resetGame();
    }
    void TearDown() override
    {
        resetGame();
        fs::current_path(previous);
    }

    template <class T>
    std::vector<T*> all(GameState* state)
    {
        std::vector<T*> found;
        for (Entity* e : state->entities)
            if (auto* t = dynamic_cast<T*>(e))
                found.push_back(t);
        return found;
    }

    fs::path previous;
};

// Measures text as the game sets it, with the shipped font.
struct Measure {
    sf::Font font;
    sf::Text text;
    Measure()
    {
        font.loadFromFile("res/fnt/LibMono.ttf");
        text.setFont(font);
        text.setCharacterSize(10);
    }
    sf::FloatRect of(const std::string& page)
    {
        text.setString(sf::String(page));
        return text.getLocalBounds();
    }
};

} // namespace

// Everything the game needs of res/, as the checker sees it: the map, its
// pictures, the font, every conversation (measured with the font against the
// panel) and the story, explored to prove it ends from every state it reaches.
TEST_F(ShippedContent, TheShippedTreeChecksCleanAndItsStoryIsProvedToEnd)
{
    ASSERT_TRUE(fs::exists("res/fnt/LICENSE")) << "the font comes with its licence";
    const CheckReport report = Checker::check();
    std::string problems;
    for (const CheckReport::Problem& p : report.problems)
        problems += p.text() + "\n";
    EXPECT_EQ(problems, "");
    // Each shipped translation is counted, then the story is proved.
    ASSERT_EQ(report.notes.size(), 3u);
    EXPECT_EQ(report.notes[0].rfind("language de (po/de.po): ", 0), 0u) << report.notes[0];
    EXPECT_NE(report.notes[0].find(" 0 fuzzy, 0 missing"), std::string::npos) << report.notes[0];
    EXPECT_EQ(report.notes[1].rfind("story: the ending can be reached", 0), 0u) << report.notes[1];
    EXPECT_EQ(report.notes[2], "story: no reachable state is a dead end");
}

TEST_F(ShippedContent, TheMapShipsInTodaysFormatAndEachSavedFormGivesTheSameWorld)
{
    ASSERT_EQ(MapDocument("res/maps/testmap.json").format, MapDocument::Format::current);
    std::vector<std::string> shipped;
    // The rooms too: name and rectangle, in order.
    const auto roomsOf = [](const Map& map) {
        std::vector<std::string> named;
        for (const MapRooms::Room& r : map.rooms.rooms)
            named.push_back(r.name + " " + std::to_string(r.x) + "," + std::to_string(r.y) + " "
                            + std::to_string(r.width) + "x" + std::to_string(r.height));
        return named;
    };
    std::vector<std::string> rooms;
    {
        GameState world;
        Map map;
        map.loadMap("testmap.json", &world);
        shipped = describeEntities(world);
        rooms = roomsOf(map);
    }
    EXPECT_EQ(rooms.size(), 13u);
    ASSERT_GT(shipped.size(), 1000u);

    // The same map in the older format, and as the editor saves it, beside
    // the shipped pictures and conversations.
    const fs::path source = sourceDir();
    ResourceDir dir;
    fs::create_directories("res/maps");
    for (const char* folder : {"gfx", "txt", "fnt"})
        fs::create_directory_symlink(source / "res" / folder, fs::path("res") / folder);
    for (const char* file : {"legacy.json", "tiled-1.8.json"}) {
        SCOPED_TRACE(std::string(file) + " (tools/buildmap.py renews it with the shipped map)");
        fs::copy_file(source / "tests/fixtures/shipped" / file, fs::path("res/maps") / file);
        GameState world;
        Map map;
        map.loadMap(file, &world);
        EXPECT_EQ(describeEntities(world), shipped);
        EXPECT_EQ(roomsOf(map), rooms);
    }
    EXPECT_EQ(MapDocument("res/maps/legacy.json").format, MapDocument::Format::legacy);
}

namespace {

// The words for what each victim lends. Nobody but the victim names an item
// that the player has not taken: the story must hold in any order.
const std::map<std::string, std::vector<std::string>>& itemWords()
{
    static const std::map<std::string, std::vector<std::string>> words = {
        {"Pim Tuttle", {"cap"}},          {"Mrs. Marsh", {"coat"}},
        {"Dora Quill", {"sash"}},         {"Gus Farrow", {"scarf"}},
        {"Major Pellham", {"chain"}},
    };
    return words;
}

// Whether `text` holds `word` (or its plural) as a word of its own.
bool namesWord(const std::string& text, const std::string& word)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    for (std::size_t at = lower.find(word); at != std::string::npos; at = lower.find(word, at + 1)) {
        std::size_t end = at + word.size();
        if (end < lower.size() && lower[end] == 's')
            ++end;
        const bool startsWord = at == 0 || !std::isalpha(static_cast<unsigned char>(lower[at - 1]));
        const bool endsWord = end == lower.size() || !std::isalpha(static_cast<unsigned char>(lower[end]));
        if (startsWord && endsWord)
            return true;
    }
    return false;
}

// One play of the shipped story with real key presses, checking on the way
// that nothing said is false for the order chosen, and that the goal line
// always says what is due.
class ShippedPlay {
public:
    ShippedPlay()
    {
        Game::currentState = world = new MainState();
        Game::running = true;
        driver.reset(new StoryDriver(world));
        bind();
        driver->beforeTalk = [this] { checkGoalLine(); };
        driver->onPage = [this](const DialogueBox& box) { checkPage(box); };
    }

    // Finds the cast of the world being played.
    void bind()
    {
        tables.clear();
        for (Entity* e : world->entities) {
            if (auto* b = dynamic_cast<Boss*>(e))
                boss = b;
            else if (auto* w = dynamic_cast<Warden*>(e))
                warden = w;
            else if (auto* t = dynamic_cast<Table*>(e))
                tables.push_back(t);
        }
    }

    // The victim of that name while still on the map, or null once gone.
    Victim* victim(const std::string& name) const
    {
        for (Entity* e : world->entities)
            if (auto* v = dynamic_cast<Victim*>(e); v && v->name == name)
                return v;
        return nullptr;
    }

    void take(Victim* v)
    {
        driver->note("livery from " + v->name);
        const int before = Game::disguise;
        ASSERT_TRUE(driver->visit(v, 1)) << "cannot reach " << v->name;
        EXPECT_TRUE(v->disguiseTaken) << v->name;
        EXPECT_EQ(Game::disguise, before + 1);
        taken.insert(v->name);
    }
    // Takes livery in the order given from whoever is still there, until the
    // player wears `count` items.
    void takeUntil(int count, const std::vector<std::string>& order)
    {
        for (const std::string& name : order) {
            Victim* v = victim(name);
            if (Game::disguise >= count)
                return;
            if (v && !v->disguiseTaken)
                take(v);
        }
        EXPECT_GE(Game::disguise, count) << "not enough livery left in part " << Game::part;
    }
    void talkToBoss(int answer = 1)
    {
        const int part = Game::part;
        driver->note(part < 0 ? "the boss" : "part " + std::to_string(part) + ": the boss");
        ASSERT_TRUE(driver->visit(boss, answer)) << "cannot reach the boss in part " << part;
        EXPECT_EQ(Game::part, part + 1);
        if (Game::part >= 1 && Game::part <= 2) {
            driver->idle(1);
            for (Entity* e : world->entities) {
                if (auto* v = dynamic_cast<Victim*>(e)) {
                    EXPECT_GE(v->part, Game::part) << v->name << " should have left";
                }
            }
        }
    }
    // The warden, who either refuses (and stays) or steps aside.
    void talkToWarden()
    {
        const int p = Game::part;
        const bool enough = Game::disguise > p;
        driver->note("part " + std::to_string(p) + ": the warden");
        ASSERT_TRUE(driver->visit(warden)) << "cannot reach the warden in part " << p;
        driver->idle(1);
        const sf::Vector2i at(warden->x, warden->y);
        EXPECT_EQ(at, enough ? warden->asidePosition : warden->guardPosition) << "part " << p;
    }
    void defaceATable(int answer = 1)
    {
        const int p = Game::part;
        driver->note("part " + std::to_string(p) + ": a table");
        Table* table = nullptr;
        for (Table* t : tables)
            if (!t->defaced && !table)
                table = t;
        ASSERT_NE(table, nullptr);
        ASSERT_TRUE(driver->visit(table, answer)) << "cannot reach a table in part " << p;
        EXPECT_TRUE(table->defaced);
        // Asked again, it says what was done to it.
        ASSERT_TRUE(driver->visit(table)) << "the defaced table says nothing";
        EXPECT_EQ(Game::defacedTables, p + 1);
        EXPECT_EQ(table->sprite.getTexture(), Graphics::getTexture(table->tileset, table->tile + p + 1));
        // The README's pictures of the day: the morning's, lunchtime's and
        // afternoon's table just defaced.
        static const char* const times[] = {"morning", "lunchtime", "afternoon"};
        picture(times[p]);
    }
    // One part: the warden (twice if he wants more than is worn), a table, the boss.
    void playPart(const std::vector<std::string>& order, bool askFirst, int answer = 1, int tableAnswer = 1)
    {
        const int p = Game::part;
        if (askFirst) {
            // Between tasks Mr. Stoat reminds the player of this one.
            driver->note("part " + std::to_string(p) + ": the boss, too early");
            ASSERT_TRUE(driver->visit(boss)) << "Mr. Stoat says nothing between tasks";
            EXPECT_EQ(Game::part, p);
        }
        if (askFirst && Game::disguise <= p)
            talkToWarden();
        takeUntil(p + 1, order);
        talkToWarden();
        defaceATable(tableAnswer);
        talkToBoss(answer);
    }
    // Everyone else with something to say, once each: the first meeting with
    // each of them is in the state the play has reached.
    void meetTheOthers()
    {
        for (Entity* e : world->entities) {
            if (e->type != "npc" || !e->dialogue || met.count(e->name))
                continue;
            driver->note("meet " + e->name);
            ASSERT_TRUE(driver->visit(e, 1 + static_cast<int>(met.size() % 3))) << "cannot reach " << e->name;
        }
    }
    // The closing card names the ending; it goes by itself to the title, which
    // is current when this returns (the world released with the card).
    void expectClosingCard(const std::string& ending)
    {
        driver->idle(1);
        auto* card = dynamic_cast<EndingCard*>(Game::currentState);
        ASSERT_NE(card, nullptr) << "the end of the boss's last conversation puts up the closing card";
        // The play ran faster than the game would: the picture shows the time
        // it takes at the game's 60 frames a second.
        const sf::Time measured = card->played;
        card->played = sf::seconds(driver->frames / 60.0f);
        picture("ending");
        card->played = measured;
        EXPECT_EQ(card->ending, ending);
        cardTime = card->played;
        cardNews = card->news;
        driver->idle(card->duration + 1);
        EXPECT_TRUE(Game::running);
        title = dynamic_cast<TitleScreen*>(Game::currentState);
        ASSERT_NE(title, nullptr) << "the card goes to the title";
        world = nullptr;
    }
    // Continue on the title (where it is chosen already): the world continued
    // is played from here on.
    void continueFromTitle()
    {
        driver->press(sf::Keyboard::Return);
        world = dynamic_cast<MainState*>(Game::currentState);
        ASSERT_NE(world, nullptr) << "Continue did not start the game";
        driver->world = world;
        title = nullptr;
        bind();
    }

    // The goal line, in the world before every talk, fits the counters.
    void checkGoalLine()
    {
        auto* main = dynamic_cast<MainState*>(Game::currentState);
        ASSERT_NE(main, nullptr) << "talking outside the world";
        const std::string line = main->goalLine.text();
        const int p = Game::part, worn = Game::disguise;
        ++goalChecks;
        if (p == -1) {
            EXPECT_NE(line.find("Mr. Stoat wants a word"), std::string::npos) << line;
            return;
        }
        ASSERT_GE(p, 0);
        ASSERT_LE(p, 2);
        const char* const verb[] = {"Scratch", "Paint", "Ink"};
        const std::string situation = Game::defacedTables > p ? "report" : worn > p ? "table" : "livery";
        if (situation == "report") {
            EXPECT_NE(line.find("Report to Mr. Stoat"), std::string::npos) << line;
        } else {
            EXPECT_EQ(line.rfind(verb[p], 0), 0u) << line;
        }
        if (situation == "livery") {
            EXPECT_NE(line.find("wants " + std::to_string(p + 1) + " item"), std::string::npos) << line;
            EXPECT_NE(line.find("you wear " + std::to_string(worn) + "."), std::string::npos) << line;
        }
        if (situation == "table") {
            EXPECT_NE(line.find("will let you by"), std::string::npos) << line;
        }
    }
    // No page names an item that has not been taken, unless its owner says it;
    // and what a page says of people, things and places holds in the state it
    // is shown in.
    void checkPage(const DialogueBox& box)
    {
        const std::string page = box.message.getString().toAnsiString();
        const std::string speaker = box.speaker ? box.speaker->name : "";
        ++pageChecks;
        checkTruth(box, page, speaker);
        if (speaker == "Warden Brack" && !conversationShot) {
            conversationShot = true;
            picture("conversation");
        }
        for (const auto& [owner, words] : itemWords()) {
            if (owner == speaker || taken.count(owner))
                continue;
            for (const std::string& word : words)
                EXPECT_FALSE(namesWord(page, word))
                    << speaker << " names " << owner << "'s " << word << " (not taken) in part " << Game::part
                    << ":\n" << page;
        }
    }

    void checkTruth(const DialogueBox& box, const std::string& page, const std::string& speaker)
    {
        const std::string where = speaker + " in part " + std::to_string(Game::part) + ":\n" + page;
        // A new conversation: what the ones before it said is known now.
        if (box.speaker != talking || &box != lastBox) {
            if (talking)
                met.insert(talkingName); // by name: the world it stood in may be gone
            told += heard;
            heard.clear();
            talking = box.speaker;
            talkingName = speaker;
            lastBox = &box;
            firstPage = true;
        }
        heard += page + "\n";
        // Nobody greets the player "again" at their first meeting.
        if (firstPage && !met.count(speaker)) {
            EXPECT_FALSE(namesWord(page, "again")) << "a first meeting: " << where;
        }
        firstPage = false;

        // Whoever sends the player to borrow livery names only people still
        // here who still have theirs.
        if (namesWord(page, "issued") || namesWord(page, "borrow")) {
            static const std::pair<const char*, const char*> lenders[] = {
                {"pim", "Pim Tuttle"}, {"marsh", "Mrs. Marsh"}, {"dora", "Dora Quill"},
                {"gus", "Gus Farrow"}, {"major", "Major Pellham"}};
            for (const auto& [word, name] : lenders) {
                if (name == speaker || !namesWord(page, word))
                    continue;
                const Victim* v = victim(name);
                EXPECT_TRUE(v && !v->disguiseTaken) << "sends the player to " << name << ", who "
                                                     << (v ? "has lent it already" : "has gone") << ": " << where;
            }
        }

        // Nobody tells a player who already wears what the warden wants to
        // go and borrow livery: such an order speaks of what he lacks, or
        // only of a player who has none.
        const bool enough = Game::part >= 0 && Game::part <= 2 && Game::disguise > Game::part;
        if (enough && !dynamic_cast<const Victim*>(box.speaker)) {
            std::size_t start = 0;
            while (start < page.size()) {
                const std::size_t end = std::min(page.find_first_of(".!?", start), page.size());
                const std::string sentence = page.substr(start, end - start);
                if (namesWord(sentence, "borrow")) {
                    EXPECT_TRUE(namesWord(sentence, "lack") || namesWord(sentence, "none") || namesWord(sentence, "if"))
                        << "sends a player wearing " << Game::disguise << " to borrow: " << where;
                }
                start = end + 1;
            }
        }

        // Warden Brack stands facing into the hall: nothing said in it has
        // him looking the other way.
        if (speaker != warden->name && namesWord(page, "brack")) {
            for (const char* claim : {"other way", "facing away", "back turned"})
                EXPECT_EQ(page.find(claim), std::string::npos) << "Brack faces the hall: " << where;
        }

        // The paint comes from Mr. Stoat: a table names only what he handed over
        // in an earlier conversation.
        if (dynamic_cast<const Table*>(box.speaker)) {
            for (const char* paint : {"Flamingo Pink", "Lime Sherbet"})
                if (page.find(paint) != std::string::npos) {
                    EXPECT_NE(told.find(paint), std::string::npos) << paint << " was never handed over: " << where;
                }
        }

        // What the table's conversation says was done to it is what its new
        // look shows: deep scratches, then pink and lime paint, then a pool of
        // ink; and so says a defaced table later, by its look.
        const auto* table = dynamic_cast<const Table*>(box.speaker);
        const int look = !table ? -1 : table->defaced ? table->defacedOrder - 1
                                   : box.lastChoice != 0 && Game::part >= 0 && Game::defacedTables == Game::part
                                       ? Game::part
                                       : -1;
        if (look >= 0) {
            static const std::vector<std::vector<std::string>> damage = {
                {"scratch", "gouge"}, {"paint", "pink", "lime", "green"}, {"ink"}};
            static const char* const other[] = {"ring", "crack", "carve", "carved"};
            for (std::size_t shown = 0; shown < damage.size(); ++shown)
                for (const std::string& word : damage[shown])
                    if (shown != static_cast<std::size_t>(look)) {
                        EXPECT_FALSE(namesWord(page, word)) << "look " << look + 1 << " shows no "
                                                            << word << ": " << where;
                    }
            for (const char* word : other)
                EXPECT_FALSE(namesWord(page, word)) << "no look shows a " << word << ": " << where;
        }

        // Livery is red and gold: a page that names a piece gives it no other colour.
        for (const auto& [owner, words] : itemWords())
            for (const std::string& item : words)
                if (namesWord(page, item)) {
                    for (const char* colour : {"silver", "blue", "green", "black", "white", "brown", "grey"})
                        EXPECT_FALSE(namesWord(page, colour)) << "livery is red and gold: " << where;
                }
    }

    // With TARNWICK_SHOTS_DIR set (tools/screenshots.sh), saves the picture
    // the game shows now, as the game draws it, under that folder.
    void picture(const std::string& name) const
    {
        const char* dir = std::getenv("TARNWICK_SHOTS_DIR");
        if (!dir || !Game::currentState || !pictures)
            return;
        Game::window.clear(sf::Color::Black);
        Game::currentState->draw();
        sf::Texture shot;
        ASSERT_TRUE(shot.create(Game::window.getSize().x, Game::window.getSize().y));
        shot.update(Game::window);
        EXPECT_TRUE(shot.copyToImage().saveToFile(std::string(dir) + "/" + name + ".png")) << dir;
    }

    void writeRoute() const
    {
        const char* out = std::getenv("TARNWICK_ROUTE_FILE");
        if (!out)
            return;
        std::ofstream route(out);
        for (const std::string& action : driver->actions)
            route << action << '\n';
        // Beside it, the same play as the game's --record writes it, with the
        // digest of the state it ends in, for the replay test to reach again.
        Recording recording = driver->recording;
        recording.version = Session::gameVersion();
        recording.world = WorldIdentity::of(".");
        std::ofstream file(fs::path(out).parent_path() / "shipped-recording.txt");
        file << recording.toText() << "# state " << StateDigest::now() << '\n';
    }

    MainState* world = nullptr;
    TitleScreen* title = nullptr; // once the card has gone
    bool pictures = true;          // picture() takes them
    sf::Time cardTime;
    std::string cardNews;
    std::unique_ptr<StoryDriver> driver;
    std::vector<Table*> tables; // tables never leave the map
    Boss* boss = nullptr;
    Warden* warden = nullptr;
    std::set<std::string> taken;
    std::set<std::string> met;      // people spoken to before this conversation
    std::string told, heard;        // pages of earlier conversations, and of this one
    const Entity* talking = nullptr;
    std::string talkingName;
    const DialogueBox* lastBox = nullptr;
    bool firstPage = false;
    int goalChecks = 0, pageChecks = 0;
    bool conversationShot = false;
};

const char* const pim = "Pim Tuttle";
const char* const marsh = "Mrs. Marsh";
const char* const dora = "Dora Quill";
const char* const gus = "Gus Farrow";
const char* const major = "Major Pellham";

} // namespace

// The route that res/README.md describes, as the real-key test plays it:
// Mr. Stoat first, then in each part just the livery the warden wants.
TEST_F(ShippedContent, TheStoryCanBePlayedToItsEnd)
{
    ShippedPlay play;
    // Every room walked into is named at once, and the name fades in its time.
    const RoomBanner& banner = play.world->roomBanner;
    std::vector<std::string> entered;
    std::string was;
    long since = 0;
    play.driver->afterFrame = [&] {
        if (Game::currentState != play.world)
            return;
        ++since;
        if (banner.room() != was) {
            was = banner.room();
            since = 0;
            EXPECT_FALSE(was.empty()) << "a cell in no room after " << (entered.empty() ? "" : entered.back());
            entered.push_back(was);
            EXPECT_EQ(banner.shown(), was);
            EXPECT_EQ(banner.opacity(), 255) << was;
        } else if (since >= RoomBanner::showSteps) {
            EXPECT_EQ(banner.shown(), "") << was << " still shown";
        }
        // The README's picture of a room's name, the player mid-stride.
        if (was == "Archive" && since == 9)
            play.picture("room");
    };
    play.talkToBoss();
    const std::vector<std::string> order = {pim, marsh, major, gus, dora};
    for (int p = 0; p <= 2; ++p) {
        play.playPart(order, false);
        if (HasFatalFailure())
            return;
    }
    play.expectClosingCard("Ending 1 of 3: Everyone gets a warning");
    EXPECT_EQ(play.taken, (std::set<std::string>{pim, marsh, major}));
    play.writeRoute();
    const std::set<std::string> rooms(entered.begin(), entered.end());
    for (const char* room : {"Clerks' Room", "Mr. Stoat's Office", "Main Corridor", "Archive", "Library",
                             "Long Hall Passage", "Long Hall"})
        EXPECT_EQ(rooms.count(room), 1u) << room << " was never entered; entered: " << entered.size();
}

// The endings reached are kept beside the save: the shipped route ends on the
// title with the count; Continue offers the last choice again, with the time
// the card showed, and another answer makes it two; a new game keeps them.
TEST_F(ShippedContent, EndingsAreKeptAndTheLastChoiceCanBeMadeAgain)
{
    std::string pattern = (fs::temp_directory_path() / "tarnwick-endings-XXXXXX").string();
    ASSERT_TRUE(mkdtemp(pattern.data()));
    const fs::path home = pattern;
    const char* before = std::getenv("XDG_DATA_HOME");
    const std::string kept = before ? before : "";
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    SaveGame::enabled = true;
    struct Restore {
        std::function<void()> undo;
        ~Restore() { undo(); }
    } restore{[&] {
        resetGame();
        SaveGame::enabled = false;
        if (before)
            setenv("XDG_DATA_HOME", kept.c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
        fs::remove_all(home);
    }};

    ShippedPlay play;
    play.pictures = false; // the play-through above takes the README's pictures of the way
    play.talkToBoss();
    for (int p = 0; p <= 2 && !HasFatalFailure(); ++p)
        play.playPart({pim, marsh, major, gus, dora}, false);
    play.pictures = true; // the card as a player sees it the first time, and the title after it
    play.expectClosingCard("Ending 1 of 3: Everyone gets a warning");
    ASSERT_NE(play.title, nullptr);
    EXPECT_EQ(play.cardNews, "A new ending");
    EXPECT_EQ(play.title->endingsLine(), "Endings: 1 of 3");
    play.picture("title-ending");
    play.pictures = false;
    // Continue: the moment before Mr. Stoat's last conversation, with the
    // time the card showed.
    EXPECT_EQ(TitleScreen::describe(play.title->slot),
              "Part 3, afternoon, " + EndingCard::formatTime(play.cardTime) + " played");
    EXPECT_EQ(EndingCard::stepsTime(play.title->slot.playedSteps), play.cardTime);
    play.continueFromTitle();
    ASSERT_NE(play.world, nullptr);
    EXPECT_EQ(Game::part, 2);
    play.talkToBoss(2);
    play.expectClosingCard("Ending 2 of 3: A stapler of your own");
    ASSERT_NE(play.title, nullptr);
    EXPECT_EQ(play.cardNews, "A new ending");
    EXPECT_EQ(play.title->endingsLine(), "Endings: 2 of 3");

    // The same ending again is not new; a new game over the save keeps the count.
    play.continueFromTitle();
    ASSERT_NE(play.world, nullptr);
    play.talkToBoss(2);
    play.expectClosingCard("Ending 2 of 3: A stapler of your own");
    EXPECT_EQ(play.cardNews, "Reached before");
    play.driver->press(sf::Keyboard::Up); // New game
    play.driver->press(sf::Keyboard::Return);
    ASSERT_NE(play.title, nullptr);
    ASSERT_TRUE(play.title->asking()) << "a save to lose: the question";
    play.driver->press(sf::Keyboard::Down); // Yes, start a new game
    play.driver->press(sf::Keyboard::Return);
    ASSERT_NE(dynamic_cast<MainState*>(Game::currentState), nullptr);
    EXPECT_EQ(Game::part, -1);
    play.driver->press(sf::Keyboard::Escape); // the pause menu: Quit to title
    auto* pause = dynamic_cast<MenuScreen*>(Game::currentState);
    ASSERT_NE(pause, nullptr);
    ASSERT_TRUE(pause->menu.select("title"));
    play.driver->press(sf::Keyboard::Return);
    auto* title = dynamic_cast<TitleScreen*>(Game::currentState);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->endingsLine(), "Endings: 2 of 3");
}

// The story as it is heard: every event of the play-through has its sound,
// once, in the story's order.
TEST_F(ShippedContent, TheStoryIsHeard)
{
    Audio::listening = true;
    Audio::heard.clear();
    ShippedPlay play;
    play.talkToBoss();
    for (int p = 0; p <= 2 && !HasFatalFailure(); ++p)
        play.playPart({pim, marsh, major, gus, dora}, false);
    play.expectClosingCard("Ending 1 of 3: Everyone gets a warning");
    Audio::listening = false;
    std::map<Audio::Cue, int> count;
    std::vector<Audio::Cue> story; // the sounds that mark the story's steps
    std::set<float> voices;
    for (const Audio::Heard& h : Audio::heard) {
        ++count[h.cue];
        if (h.cue == Audio::Cue::Report || h.cue == Audio::Cue::Scratch || h.cue == Audio::Cue::Paint
            || h.cue == Audio::Cue::Ink || h.cue == Audio::Cue::Sting)
            story.push_back(h.cue);
        if (h.cue == Audio::Cue::Voice)
            voices.insert(h.pitch);
    }
    Audio::heard.clear();
    using C = Audio::Cue;
    EXPECT_EQ(story, (std::vector<C>{C::Report, C::Scratch, C::Report, C::Paint, C::Report, C::Ink, C::Report,
                                     C::Sting}));
    EXPECT_EQ(count[C::Livery], 3);
    EXPECT_EQ(count[C::WardenAside], 3);
    EXPECT_EQ(count[C::Open], count[C::Close]);
    EXPECT_GE(count[C::Voice], count[C::Open]);
    EXPECT_GE(count[C::Answer], 4);
    EXPECT_GT(count[C::Step], 100);
    // Mr. Stoat, the warden and the staff each in their own voice.
    for (float pitch : {0.8f, 0.66f, 1.15f})
        EXPECT_EQ(voices.count(pitch), 1u) << pitch;
}

// Every victim first, with the livery taken before or after meeting Mr. Stoat,
// and all of it at once; each play ends with another of the three endings.
struct Order {
    std::vector<std::string> victims;
    int early; // items taken before meeting Mr. Stoat
    int answer;
    std::string ending;
    int table = 1; // the answer at the first table; the next ones take the next answers
    int first = 1; // the answer to Mr. Stoat's first conversation
};

void PrintTo(const Order& order, std::ostream* out)
{
    for (const std::string& v : order.victims)
        *out << v << ", ";
    *out << order.early << " before Mr. Stoat, first answer " << order.first << ", last answer " << order.answer;
}

class ShippedOrders : public ShippedContent, public ::testing::WithParamInterface<Order> {};

TEST_P(ShippedOrders, NothingSaidIsFalseForTheOrderChosen)
{
    const Order& order = GetParam();
    ShippedPlay play;
    play.takeUntil(order.early, order.victims);
    // Everyone else is met before Mr. Stoat in the plays that borrow early,
    // after him in the others.
    if (order.early > 0)
        play.meetTheOthers();
    play.talkToBoss(order.first);
    if (order.early == 0)
        play.meetTheOthers();
    for (int p = 0; p <= 2; ++p) {
        play.playPart(order.victims, true, p == 2 ? order.answer : 1, (order.table - 1 + p) % 3 + 1);
        if (HasFatalFailure())
            return;
    }
    play.expectClosingCard(order.ending);
    EXPECT_EQ(play.taken.count(order.victims.front()), 1u);
    EXPECT_GT(play.pageChecks, 60);
    EXPECT_GE(play.goalChecks, 10);
}

INSTANTIATE_TEST_SUITE_P(
    EveryVictimFirst, ShippedOrders,
    ::testing::Values(
        Order{{pim, marsh, dora, gus, major}, 1, 2, "Ending 2 of 3: A stapler of your own", 1},
        Order{{marsh, dora, gus, major, pim}, 0, 3, "Ending 3 of 3: Mr. Stoat is carried out", 2},
        Order{{dora, gus, major, pim, marsh}, 1, 1, "Ending 1 of 3: Everyone gets a warning", 3},
        Order{{gus, major, pim, marsh, dora}, 0, 2, "Ending 2 of 3: A stapler of your own", 1},
        Order{{major, pim, marsh, dora, gus}, 1, 3, "Ending 3 of 3: Mr. Stoat is carried out", 2, 2},
        // Every piece worn before Mr. Stoat's first word, and the answer that
        // once had him send the player to borrow one anyway.
        Order{{major, gus, dora, marsh, pim}, 5, 1, "Ending 1 of 3: Everyone gets a warning", 3, 3}),
    [](const ::testing::TestParamInfo<Order>& info) {
        std::string name = info.param.early == 5 ? "AllLivery" : info.param.victims.front();
        name.erase(std::remove_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }),
                   name.end());
        return name + (info.param.early > 0 ? "BeforeStoat" : "AfterStoat");
    });

namespace {

// Calls `check` for every page and answer of a conversation, all branches.
void forEachLine(const DialogueTree& node, const std::function<void(const std::string&)>& check)
{
    for (const std::string& line : node.text)
        check(line);
    for (const std::string& option : node.options)
        check(option);
    for (const DialogueTree& response : node.responses)
        forEachLine(response, check);
}


// The share of pixels in which two pictures differ plainly to the eye.
double plainlyDifferent(const sf::Texture* a, const sf::Texture* b)
{
    const sf::Image one = a->copyToImage(), two = b->copyToImage();
    if (one.getSize() != two.getSize() || one.getSize().x == 0)
        return 0;
    int differ = 0;
    for (unsigned y = 0; y < one.getSize().y; ++y)
        for (unsigned x = 0; x < one.getSize().x; ++x) {
            const sf::Color p = one.getPixel(x, y), q = two.getPixel(x, y);
            const int distance = std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b) + std::abs(p.a - q.a);
            differ += distance > 120;
        }
    return static_cast<double>(differ) / (one.getSize().x * one.getSize().y);
}

} // namespace

// Whatever order the livery is borrowed in, only its owner names a piece:
// everyone else speaks of livery in general. Checked in every branch of every
// conversation the world can show.
TEST_F(ShippedContent, NobodyButItsOwnerNamesAPieceOfLivery)
{
    std::unique_ptr<MainState> world(new MainState());
    int trees = 0;
    auto check = [&](const Entity* speaker, const DialogueTree* tree) {
        if (!tree)
            return;
        ++trees;
        forEachLine(*tree, [&](const std::string& line) {
            for (const auto& [owner, words] : itemWords())
                for (const std::string& word : words) {
                    if (owner != speaker->name) {
                        EXPECT_FALSE(namesWord(line, word)) << speaker->name << " names " << owner << "'s " << word
                                                             << ": " << line;
                    }
                }
        });
    };
    for (const Entity* e : world->entities) {
        check(e, e->dialogue);
        if (auto* v = dynamic_cast<const Victim*>(e))
            check(v, v->secondDialogue);
        if (auto* w = dynamic_cast<const Warden*>(e))
            for (const DialogueTree* tree : w->dialogues)
                check(w, tree);
        if (auto* t = dynamic_cast<const Table*>(e))
            for (const DialogueTree* tree : t->dialogues)
                check(t, tree);
        if (auto* b = dynamic_cast<const Boss*>(e))
            for (const DialogueTree* tree : b->dialogues)
                check(b, tree);
    }
    EXPECT_GT(trees, 40);
}

// A long table answers from every cell: its ends send the player to the
// middle, the table that counts.
TEST_F(ShippedContent, EveryCellOfATableAnswers)
{
    Game::currentState = new MainState();
    GameState* world = Game::currentState;
    for (Table* table : all<Table>(world)) {
        int ends = 0;
        for (Entity* e : world->entities) {
            if (e->y != table->y || std::abs(e->x - table->x) != 32 || !e->solid)
                continue;
            ++ends;
            EXPECT_EQ(e->name, table->name);
            const DialogueTree* said = offered(e);
            ASSERT_NE(said, nullptr) << "an end of " << table->name << " says nothing";
            EXPECT_NE(said->text.front().find("middle"), std::string::npos) << said->text.front();
        }
        EXPECT_EQ(ends, 2) << table->name;
    }
}

// Every situation the goal line can meet has a line that fits the strip, and
// every ending the last conversation can reach has a name that fits the card.
TEST_F(ShippedContent, TheGoalFileHasAFittingLineForEverySituation)
{
    const Goals goals = Goals::load(Goals::file);
    Measure measure;
    measure.text.setCharacterSize(GoalLine::characterSize);
    const float room = Game::pictureWidth - 8 - 4;
    int situations = 0;
    for (int part = -1; part <= 2; ++part)
        for (int worn = 0; worn <= 5; ++worn)
            for (int tables = std::max(part, 0); tables <= part + 1; ++tables) {
                const std::string line = goals.line(part, worn, tables);
                ++situations;
                EXPECT_FALSE(line.empty());
                EXPECT_EQ(line.find_first_of("{}"), std::string::npos) << line;
                const sf::FloatRect box = measure.of(line);
                EXPECT_LE(box.left + box.width, room) << "too long for the goal line: " << line;
                EXPECT_LE(box.top + box.height, GoalLine::height) << line;
            }
    EXPECT_EQ(situations, 6 + 3 * 6 * 2);

    // One ending for every answer to Mr. Stoat's last question.
    std::unique_ptr<DialogueTree> last(DialogueTree::load("res/txt/boss3.xml"));
    ASSERT_FALSE(last->options.empty());
    measure.text.setCharacterSize(14);
    for (std::size_t answer = 1; answer <= last->options.size(); ++answer) {
        const std::string ending = EndingCard::describe(goals, static_cast<int>(answer));
        EXPECT_NE(ending, "The end") << "no name for ending " << answer;
        EXPECT_LE(measure.of(ending).width, 440 - 20) << ending;
    }
    EXPECT_EQ(goals.endings.size(), last->options.size());
}

// Every page and answer list of every shipped conversation, wrapped as the
// panel wraps it with the game's own font, fits the panel at both text sizes.
TEST_F(ShippedContent, EveryPageFitsThePanelAtBothTextSizes)
{
    Measure measure;
    int pages = 0;
    for (const bool large : {false, true}) {
        const DialogueBox::Layout panel = DialogueBox::layout(large);
        measure.text.setCharacterSize(panel.characterSize);
        const auto width = [&](const std::string& line) {
            return WindowText::widthIn(measure.font, panel.characterSize, line);
        };
        const auto fits = [&](const std::string& page) {
            const sf::FloatRect box = measure.of(WindowText::wrap("Mr. Stoat\n\n" + page, panel.wrapWidth, width));
            EXPECT_LE(box.left + box.width, panel.wrapWidth) << (large ? "large: " : "normal: ") << page;
            EXPECT_LE(box.top + box.height, panel.height) << (large ? "large: " : "normal: ") << page;
            ++pages;
        };
        std::function<void(const DialogueTree&)> walk = [&](const DialogueTree& node) {
            for (const std::string& page : node.text)
                fits(page);
            std::string answers;
            for (std::size_t i = 0; i < node.options.size(); ++i)
                answers += " " + std::to_string(i + 1) + ". " + node.options[i] + "\n\n";
            if (!answers.empty())
                fits(answers);
            for (const DialogueTree& next : node.responses)
                walk(next);
        };
        for (const auto& entry : fs::directory_iterator("res/txt"))
            if (entry.path().extension() == ".xml") {
                std::unique_ptr<DialogueTree> tree(DialogueTree::load("res/txt/" + entry.path().filename().string()));
                walk(*tree);
            }
    }
    EXPECT_GT(pages, 100);
}

// Each defaced look stands out from the table as it was and from the look
// before it, even at the picture's own size; each row of the player's sheet
// looks different from the row before.
TEST_F(ShippedContent, DamageAndLiveryShowAtAGlance)
{
    Game::currentState = new MainState();
    for (const Table* t : all<Table>(Game::currentState)) {
        for (int n = 1; n <= 3; ++n) {
            const double fromClean = plainlyDifferent(Graphics::getTexture(t->tileset, t->tile),
                                                      Graphics::getTexture(t->tileset, t->tile + n));
            EXPECT_GE(fromClean, 0.15) << t->name << ", damage " << n << " hardly shows";
            if (n > 1) {
                EXPECT_GE(plainlyDifferent(Graphics::getTexture(t->tileset, t->tile + n - 1),
                                           Graphics::getTexture(t->tileset, t->tile + n)),
                          0.10)
                    << t->name << ", damage " << n << " looks like damage " << n - 1;
            }
        }
    }
    for (int worn = 1; worn <= 5; ++worn)
        for (int facing = 0; facing < 4; ++facing)
            EXPECT_GE(plainlyDifferent(Graphics::getTexture("player", 4 * (worn - 1) + facing),
                                       Graphics::getTexture("player", 4 * worn + facing)),
                      8.0 / 1024)
                << "the player in " << worn << " items looks as in " << worn - 1 << ", facing " << facing;
}

// The title screen: its picture ships at the picture's size, and the screen
// shows it beneath the menu. With TARNWICK_SHOTS_DIR set (tools/screenshots.sh)
// the screen is saved there as title.png, with a saved game to continue.
TEST_F(ShippedContent, TheTitleScreenShowsItsPicture)
{
    sf::Image picture;
    ASSERT_TRUE(picture.loadFromFile(TitleScreen::picture));
    EXPECT_EQ(picture.getSize(), sf::Vector2u(Game::pictureWidth, Game::pictureHeight));

    SaveGame::Slot slot;
    slot.exists = slot.usable = true;
    slot.part = 1;
    slot.playedSteps = 60 * (12 * 60 + 5);
    Game::window.setSize(sf::Vector2u(Game::pictureWidth, Game::pictureHeight));
    Game::fitView();
    Game::currentState = new TitleScreen(nullptr, slot);
    Game::window.clear(sf::Color::Black);
    Game::currentState->draw();
    // The wall's top left corner, untouched by the name and the menu.
    EXPECT_EQ(windowPixel(4, 4), picture.getPixel(4, 4));
    if (const char* dir = std::getenv("TARNWICK_SHOTS_DIR")) {
        sf::Texture shot;
        ASSERT_TRUE(shot.create(Game::window.getSize().x, Game::window.getSize().y));
        shot.update(Game::window);
        EXPECT_TRUE(shot.copyToImage().saveToFile(std::string(dir) + "/title.png")) << dir;
    }
}

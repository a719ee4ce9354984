#include "dialogue/DialogueBox.h"
#include "dialogue/DialogueState.h"
#include "dialogueformat/DialogueTree.h"
#include "core/Entity.h"
#include "core/Game.h"
#include "core/GameState.h"
#include "input/Keyboard.h"
#include "characters/Player.h"
#include "TestSupport.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace pt = boost::property_tree;
using namespace testing_support;
using Key = sf::Keyboard::Key;

namespace {

using Log = std::vector<std::string>;

DialogueTree* treeFrom(const std::string& xml)
{
    std::istringstream in(xml);
    pt::ptree document;
    pt::read_xml(in, document);
    return new DialogueTree(document);
}

std::string lines(std::initializer_list<std::string> text)
{
    std::string xml = "<dialogue><text>";
    for (const std::string& line : text)
        xml += "<l>" + line + "</l>";
    return xml + "</text></dialogue>";
}

// An entity that writes its updates, draws and destruction into a log.
class Recorder : public Entity {
public:
    Recorder(const std::string& tag, Log* log, int x = 0, int y = 0)
        : Entity(x, y)
        , tag(tag)
        , log(log)
    {
    }
    ~Recorder() override { log->push_back(tag + ":destroyed"); }
    void update() override
    {
        ++updates;
        log->push_back(tag + ":update");
    }
    void draw() override
    {
        log->push_back(tag + ":draw");
        Entity::draw();
    }

    std::string tag;
    Log* log;
    int updates = 0;
};

// A character that starts talking when Space goes down, as the player makes
// it do, and that records what the conversation hands back at its end. A hook
// may put instruments into the conversation it opens.
class Talker : public Recorder {
public:
    Talker(const std::string& tag, Log* log, const std::string& xml)
        : Recorder(tag, log)
    {
        name = tag;
        dialogue = treeFrom(xml);
    }
    void update() override
    {
        Recorder::update();
        if (opensOnSpace && Keyboard::keyPressed(Key::Space))
            interact();
    }
    void displayDialogue() override
    {
        Entity::displayDialogue();
        if (onOpen)
            onOpen(Game::currentState);
    }
    void setState(int s) override
    {
        log->push_back(tag + ":setState " + std::to_string(s));
        Entity::setState(s);
    }
    std::function<void(GameState*)> onOpen;
    bool opensOnSpace = true;
};

// Drawn last in a conversation: keeps a copy of what the window holds by then.
class Probe : public Recorder {
public:
    Probe(const std::string& tag, Log* log, sf::Image* picture = nullptr)
        : Recorder(tag, log)
        , picture(picture)
    {
    }
    void draw() override
    {
        Recorder::draw();
        if (!picture)
            return;
        const sf::Vector2u size = Game::window.getSize();
        sf::Texture copy;
        if (copy.create(size.x, size.y)) {
            copy.update(Game::window);
            *picture = copy.copyToImage();
        }
    }
    sf::Image* picture;
};

std::size_t count(const Log& log, const std::string& event)
{
    return static_cast<std::size_t>(std::count(log.begin(), log.end(), event));
}

// Position of an event in the log, or the log's size when it is not there.
std::size_t indexOf(const Log& log, const std::string& event)
{
    return static_cast<std::size_t>(std::find(log.begin(), log.end(), event) - log.begin());
}

DialogueState* conversation()
{
    return dynamic_cast<DialogueState*>(Game::currentState);
}

DialogueBox* boxOf(GameState* state)
{
    auto* talk = dynamic_cast<DialogueState*>(state);
    if (!talk || talk->entities.empty())
        return nullptr;
    return dynamic_cast<DialogueBox*>(talk->entities.front());
}

std::string shownBy(GameState* state)
{
    DialogueBox* box = boxOf(state);
    return box ? box->message.getString().toAnsiString() : std::string("<no conversation>");
}

class DialogueStateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetGame();
        world = new GameState();
        Game::currentState = world;
    }

    void TearDown() override { resetGame(); }

    Log log; // outlives every entity: the states go in TearDown
    GameState* world = nullptr;
};

} // namespace

TEST_F(DialogueStateTest, TheWorldStandsStillWhileTheConversationRuns)
{
    ResourceDir dir; // no player sheet: the player draws an empty picture
    sf::Texture tile;
    ASSERT_TRUE(tile.create(32, 32));

    auto* clerk = new Talker("clerk", &log, lines({"Hello"}));
    clerk->x = clerk->bounds.left = 32;
    clerk->y = clerk->bounds.top = 64;
    clerk->setTexture(tile);
    clerk->opensOnSpace = false; // here the player does the talking
    auto* player = new Player(64, 64); // faces left, towards the clerk
    player->setTexture(tile);
    auto* walker = new Recorder("walker", &log, 200, 200);
    world->add(clerk);
    world->add(player);
    world->add(walker);

    holdKeys({Key::Return});
    runFrame();
    DialogueState* talk = conversation();
    ASSERT_NE(talk, nullptr);
    EXPECT_EQ(talk->previous, world);
    ASSERT_EQ(talk->entities.size(), 1u);
    DialogueBox* box = boxOf(talk);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->owner, talk);
    EXPECT_EQ(box->dialogueState, talk);
    EXPECT_EQ(box->speaker, clerk);
    EXPECT_EQ(shownBy(talk), "clerk\n\nHello");
    // The world's pass went on past the player in the frame the talk began.
    EXPECT_EQ(walker->updates, 1);
    const sf::Vector2f camera = Game::window.getView().getCenter();

    log.clear();
    // (Return would turn the page, as Space does.)
    for (Key key : {Key::Left, Key::W, Key::Num1}) {
        holdKeys({});
        runFrame();
        holdKeys({key});
        runFrame();
        runFrame();
    }
    EXPECT_EQ(Game::currentState, talk);
    EXPECT_EQ(player->x, 64);
    EXPECT_EQ(player->y, 64);
    EXPECT_EQ(player->direction, 1);
    EXPECT_FALSE(player->moving);
    EXPECT_EQ(walker->updates, 1);
    EXPECT_EQ(count(log, "clerk:update"), 0u);
    EXPECT_EQ(Game::window.getView().getCenter(), camera);
    // The world is still drawn beneath the box in every frame.
    EXPECT_EQ(count(log, "walker:draw"), 9u);

    // The frame of the last Space: the world comes back, drawn but not yet
    // updated; it has lost nothing.
    runFrames(1);
    log.clear();
    runFrames(1, {Key::Space});
    EXPECT_EQ(Game::currentState, world);
    EXPECT_EQ(log, (Log{"clerk:setState 0", "clerk:draw", "walker:draw"}));
    ASSERT_EQ(world->entities.size(), 3u);
    EXPECT_EQ(world->entities[1], player);

    // Space still down in the next frame starts nothing.
    runFrames(1, {Key::Space});
    EXPECT_EQ(Game::currentState, world);
    EXPECT_EQ(walker->updates, 2);
    runFrames(1, {Key::Space});
    EXPECT_EQ(Game::currentState, world);

    // Pressed anew, it talks again; ended again, the player walks on.
    runFrames(1);
    runFrames(1, {Key::Space});
    ASSERT_NE(conversation(), nullptr);
    runFrames(1);
    runFrames(1, {Key::Space});
    ASSERT_EQ(Game::currentState, world);
    runFrames(1);
    runFrames(3, {Key::Down});
    EXPECT_GT(player->y, 64);
    EXPECT_EQ(player->direction, 2);
    EXPECT_EQ(count(log, "clerk:destroyed") + count(log, "walker:destroyed"), 0u);
}

TEST_F(DialogueStateTest, TheBoxIsDrawnOverTheWorldFromTheFirstFrameToTheLast)
{
    sf::Image ground;
    ground.create(640, 480, sf::Color(20, 160, 40));
    sf::Texture groundTexture;
    ASSERT_TRUE(groundTexture.loadFromImage(ground));
    auto* field = new Recorder("field", &log);
    field->setTexture(groundTexture);
    auto* clerk = new Talker("clerk", &log, lines({"one", "two"}));
    sf::Image picture;
    clerk->onOpen = [&](GameState* talk) { talk->add(new Probe("probe", &log, &picture)); };
    world->add(field);
    world->add(clerk);

    // The conversation opens in the world's pass and is drawn in that frame:
    // the world first, then the dialogue state's own entities.
    runFrames(1, {Key::Space});
    ASSERT_NE(conversation(), nullptr);
    EXPECT_EQ(log, (Log{"field:update", "clerk:update", "field:draw", "clerk:draw", "probe:draw"}));

    ASSERT_EQ(picture.getSize(), sf::Vector2u(640, 480));
    EXPECT_EQ(picture.getPixel(320, 100), sf::Color(20, 160, 40));
    EXPECT_EQ(picture.getPixel(10, 373), sf::Color(20, 160, 40));
    EXPECT_EQ(picture.getPixel(10, 375), sf::Color(0, 25, 100));
    EXPECT_EQ(picture.getPixel(320, 430), sf::Color(0, 50, 200));
    EXPECT_EQ(picture.getPixel(635, 475), sf::Color(0, 50, 200));
    EXPECT_EQ(picture.getPixel(1, 478), sf::Color(0, 25, 100));

    log.clear();
    runFrames(1);
    EXPECT_EQ(log, (Log{"probe:update", "field:draw", "clerk:draw", "probe:draw"}));
    runFrames(1, {Key::Space});
    EXPECT_EQ(shownBy(Game::currentState), "clerk\n\ntwo");
    runFrames(1);

    // The last Space: the speaker hears the result, the conversation is
    // released, and only the world is drawn in that same frame.
    log.clear();
    runFrames(1, {Key::Space});
    EXPECT_EQ(Game::currentState, world);
    EXPECT_EQ(count(log, "probe:draw"), 0u);
    EXPECT_EQ(count(log, "probe:destroyed"), 1u);
    EXPECT_EQ(count(log, "field:draw"), 1u);
    EXPECT_LT(indexOf(log, "clerk:setState 0"), indexOf(log, "probe:destroyed"));
    EXPECT_LT(indexOf(log, "probe:destroyed"), indexOf(log, "field:draw"));
    EXPECT_EQ(count(log, "field:update"), 0u);

    log.clear();
    runFrames(1, {Key::Space});
    EXPECT_EQ(log, (Log{"field:update", "clerk:update", "field:draw", "clerk:draw"}));
    EXPECT_EQ(Game::currentState, world);
}

TEST_F(DialogueStateTest, ConversationsOpenedInOneFrameStackAndUnwindInTurn)
{
    auto* outerSpeaker = new Talker("outer", &log, lines({"O1", "O2"}));
    auto* innerSpeaker = new Talker("inner", &log, lines({"I1"}));
    outerSpeaker->onOpen = [&](GameState* talk) { talk->add(new Probe("outerProbe", &log)); };
    innerSpeaker->onOpen = [&](GameState* talk) { talk->add(new Probe("innerProbe", &log)); };
    auto* field = new Recorder("field", &log);
    world->add(field);
    world->add(outerSpeaker);
    world->add(innerSpeaker);

    runFrames(1, {Key::Space});
    DialogueState* inner = conversation();
    ASSERT_NE(inner, nullptr);
    auto* outer = dynamic_cast<DialogueState*>(inner->previous);
    ASSERT_NE(outer, nullptr);
    EXPECT_EQ(outer->previous, world);
    EXPECT_EQ(boxOf(inner)->speaker, innerSpeaker);
    EXPECT_EQ(boxOf(outer)->speaker, outerSpeaker);
    EXPECT_EQ(log, (Log{"field:update", "outer:update", "inner:update", "field:draw", "outer:draw", "inner:draw",
                        "outerProbe:draw", "innerProbe:draw"}));

    // Only the inner conversation listens.
    runFrames(1);
    log.clear();
    runFrames(1, {Key::Space});
    EXPECT_EQ(Game::currentState, outer);
    EXPECT_EQ(count(log, "inner:setState 0"), 1u);
    EXPECT_EQ(count(log, "innerProbe:destroyed"), 1u);
    EXPECT_EQ(count(log, "outerProbe:destroyed"), 0u);
    EXPECT_EQ(count(log, "innerProbe:draw"), 0u);
    EXPECT_EQ(count(log, "outerProbe:draw"), 1u);
    // The outer one goes on where it was: the same Space did not turn its page.
    EXPECT_EQ(shownBy(outer), "outer\n\nO1");
    runFrames(1, {Key::Space});
    EXPECT_EQ(shownBy(outer), "outer\n\nO1");

    runFrames(1);
    runFrames(1, {Key::Space});
    EXPECT_EQ(shownBy(outer), "outer\n\nO2");
    runFrames(1);
    log.clear();
    runFrames(1, {Key::Space});
    EXPECT_EQ(Game::currentState, world);
    EXPECT_EQ(count(log, "outerProbe:destroyed"), 1u);
    EXPECT_EQ(count(log, "outerProbe:draw"), 0u);
    EXPECT_LT(indexOf(log, "outer:setState 0"), indexOf(log, "outerProbe:destroyed"));
    EXPECT_LT(indexOf(log, "outerProbe:destroyed"), indexOf(log, "field:draw"));
    EXPECT_EQ(count(log, "field:update"), 0u);
    EXPECT_EQ(world->entities.size(), 3u);
}

TEST_F(DialogueStateTest, EndingTheGameMidConversationReleasesEveryState)
{
    auto* outerSpeaker = new Talker("outer", &log, lines({"O1"}));
    auto* innerSpeaker = new Talker("inner", &log, lines({"I1"}));
    outerSpeaker->onOpen = [&](GameState* talk) { talk->add(new Probe("outerProbe", &log)); };
    innerSpeaker->onOpen = [&](GameState* talk) { talk->add(new Probe("innerProbe", &log)); };
    world->add(new Recorder("field", &log));
    world->add(outerSpeaker);
    world->add(innerSpeaker);

    runFrames(1, {Key::Space});
    ASSERT_NE(conversation(), nullptr);
    log.clear();

    // What the driver does when the loop ends: the conversations, their boxes
    // and the world beneath all go, each once (the sanitizer build reports a
    // leak or a double release).
    Game::destroyStates();
    EXPECT_EQ(Game::currentState, nullptr);
    for (const char* tag : {"innerProbe", "outerProbe", "field", "outer", "inner"})
        EXPECT_EQ(count(log, std::string(tag) + ":destroyed"), 1u) << tag;
    EXPECT_EQ(count(log, "inner:setState 0") + count(log, "outer:setState 0"), 0u);
    EXPECT_LT(indexOf(log, "innerProbe:destroyed"), indexOf(log, "outerProbe:destroyed"));
    EXPECT_LT(indexOf(log, "outerProbe:destroyed"), indexOf(log, "field:destroyed"));
}

TEST_F(DialogueStateTest, TheEndingPassFinishesBeforeTheConversationIsReleased)
{
    // An entity after the box in the conversation's own list, queued for
    // removal: the pass that ends the conversation still has its removal step
    // to run after the box returns. Nothing of the conversation may be
    // released under it (the sanitizer build reports any use after release),
    // and everything of it is released, once, before the world is drawn.
    auto* clerk = new Talker("clerk", &log, lines({"Bye"}));
    DialogueState* opened = nullptr;
    Recorder* tail = nullptr;
    clerk->onOpen = [&](GameState* talk) {
        opened = dynamic_cast<DialogueState*>(talk);
        tail = new Recorder("tail", &log);
        talk->add(tail);
    };
    world->add(clerk);
    runFrames(1, {Key::Space});
    ASSERT_NE(opened, nullptr);
    ASSERT_EQ(Game::currentState, opened);
    runFrames(1);

    opened->remove(tail);
    log.clear();
    runFrames(1, {Key::Space});
    EXPECT_EQ(Game::currentState, world);
    const std::size_t said = indexOf(log, "clerk:setState 0");
    const std::size_t gone = indexOf(log, "tail:destroyed");
    ASSERT_LT(said, log.size());
    ASSERT_LT(gone, log.size());
    EXPECT_LT(said, gone);
    EXPECT_LT(gone, indexOf(log, "clerk:draw"));
    EXPECT_EQ(count(log, "tail:destroyed"), 1u);
    EXPECT_EQ(count(log, "tail:draw"), 0u);

    // The world carries on untouched.
    log.clear();
    runFrames(1);
    EXPECT_EQ(log, (Log{"clerk:update", "clerk:draw"}));
}

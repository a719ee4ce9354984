#include "dialogue/DialogueBox.h"
#include "dialogue/DialogueState.h"
#include "dialogue/TextSpeed.h"
#include "audio/Audio.h"
#include "render/PictureDigest.h"
#include "render/SpriteBatch.h"
#include "disk/Settings.h"
#include "screens/SettingsScreen.h"
#include "dialogueformat/DialogueTree.h"
#include "core/Entity.h"
#include "core/Game.h"
#include "core/GameState.h"
#include "input/Keyboard.h"
#include "TestSupport.h"

#include <SFML/Graphics/View.hpp>
#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>
#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

namespace pt = boost::property_tree;
using namespace testing_support;
using Key = sf::Keyboard::Key;

namespace {

// A speaker that remembers every number the box hands it at the end.
class Speaker : public Entity {
public:
    explicit Speaker(const std::string& speakerName)
        : Entity(0, 0)
    {
        name = speakerName;
    }
    void setState(int s) override
    {
        calls.push_back(s);
        Entity::setState(s);
    }
    std::vector<int> calls;
};

using Texts = std::initializer_list<std::string>;

// "<dialogue>" with the given lines, options and response nodes (each response
// is a complete dialogue element and gets its own wrapper).
std::string dialogue(Texts text, Texts options = {}, Texts responses = {})
{
    std::string xml = "<dialogue><text>";
    for (const std::string& line : text)
        xml += "<l>" + line + "</l>";
    xml += "</text>";
    if (options.size() != 0) {
        xml += "<options>";
        for (const std::string& option : options)
            xml += "<o>" + option + "</o>";
        xml += "</options><responses>";
        for (const std::string& response : responses)
            xml += "<r>" + response + "</r>";
        xml += "</responses>";
    }
    return xml + "</dialogue>";
}

DialogueTree* treeFrom(const std::string& xml)
{
    std::istringstream in(xml);
    pt::ptree document;
    pt::read_xml(in, document);
    return new DialogueTree(document);
}

class DialogueBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetGame();
        world = new GameState();
        Game::currentState = world;
        speaker = new Speaker("Name");
        world->add(speaker);
    }

    void TearDown() override { resetGame(); }

    // The speaker takes the conversation and opens it, as an entity of the
    // world does when the player talks to it.
    DialogueBox* open(const std::string& xml)
    {
        delete speaker->dialogue;
        speaker->dialogue = treeFrom(xml);
        speaker->interact();
        return box();
    }

    // The box of the conversation now current, or null when none is.
    static DialogueBox* box()
    {
        auto* talk = dynamic_cast<DialogueState*>(Game::currentState);
        if (!talk || talk->entities.empty())
            return nullptr;
        return dynamic_cast<DialogueBox*>(talk->entities.front());
    }

    static std::string shown()
    {
        DialogueBox* b = box();
        return b ? b->message.getString().toAnsiString() : std::string("<no conversation>");
    }

    // The keys go down in one frame and are all released in the next.
    static void tap(std::initializer_list<Key> keys)
    {
        holdKeys(keys);
        runFrame();
        holdKeys({});
        runFrame();
    }

    GameState* world = nullptr;
    Speaker* speaker = nullptr;
};

} // namespace

TEST_F(DialogueBoxTest, PagesThroughLinesThenOptionsThenFollowsTheChosenResponse)
{
    DialogueBox* b = open(dialogue({"A", "B", "C"}, {"P", "Q"},
                                   {dialogue({"R1 first"}), dialogue({"R2 first", "R2 second"})}));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->speaker, speaker);
    EXPECT_EQ(shown(), "Name\n\nA");

    tap({Key::Space});
    EXPECT_EQ(shown(), "Name\n\nB");
    tap({Key::Space});
    EXPECT_EQ(shown(), "Name\n\nC");
    EXPECT_FALSE(b->optionsShown);

    tap({Key::Space});
    EXPECT_EQ(shown(), "Name\n\n 1. P\n\n 2. Q\n\n");
    EXPECT_TRUE(b->optionsShown);
    EXPECT_EQ(b->lastChoice, 0);

    tap({Key::Num2});
    EXPECT_EQ(shown(), "Name\n\nR2 first");
    EXPECT_EQ(b->lastChoice, 2);
    EXPECT_EQ(b->node, &speaker->dialogue->responses[1]);
    EXPECT_FALSE(b->optionsShown);

    tap({Key::Space});
    EXPECT_EQ(shown(), "Name\n\nR2 second");
    EXPECT_TRUE(speaker->calls.empty());

    tap({Key::Space});
    EXPECT_EQ(speaker->calls, std::vector<int>{2});
    EXPECT_EQ(Game::currentState, world);
}

TEST_F(DialogueBoxTest, LeafRootEndsOnTheFirstSpaceWithNoChoice)
{
    open(dialogue({"Only line"}));
    EXPECT_EQ(shown(), "Name\n\nOnly line");

    // The answer keys do nothing on a leaf.
    tap({Key::Num1, Key::Numpad1});
    EXPECT_EQ(shown(), "Name\n\nOnly line");
    EXPECT_TRUE(speaker->calls.empty());

    holdKeys({Key::Space});
    runFrame();
    EXPECT_EQ(speaker->calls, std::vector<int>{0});
    EXPECT_EQ(speaker->state, 0);
    EXPECT_EQ(Game::currentState, world);

    // Held on and pressed again, Space reaches only the world now.
    runFrames(2, {Key::Space});
    holdKeys({});
    runFrame();
    tap({Key::Space});
    EXPECT_EQ(speaker->calls, std::vector<int>{0});
    EXPECT_EQ(Game::currentState, world);
}

TEST_F(DialogueBoxTest, TheEndReportsTheLastChoiceNotTheFirst)
{
    const std::string third = dialogue({"three"}, {"U", "V"}, {dialogue({"u"}), dialogue({"v"})});
    DialogueBox* b = open(dialogue({"pick"}, {"X", "Y", "Z"}, {dialogue({"x"}), dialogue({"y"}), third}));

    tap({Key::Space});
    EXPECT_EQ(shown(), "Name\n\n 1. X\n\n 2. Y\n\n 3. Z\n\n");
    tap({Key::Num3});
    EXPECT_EQ(shown(), "Name\n\nthree");
    EXPECT_EQ(b->lastChoice, 3);
    tap({Key::Space});
    EXPECT_EQ(shown(), "Name\n\n 1. U\n\n 2. V\n\n");
    tap({Key::Num1});
    EXPECT_EQ(shown(), "Name\n\nu");
    EXPECT_EQ(b->lastChoice, 1);

    tap({Key::Space});
    EXPECT_EQ(speaker->calls, std::vector<int>{1});
    EXPECT_EQ(speaker->state, 1);
    EXPECT_EQ(Game::currentState, world);
}

TEST_F(DialogueBoxTest, DigitsCountOnlyWhenPressedWhileTheOptionsAreShown)
{
    const std::string next = dialogue({"q"}, {"S", "T"}, {dialogue({"s"}), dialogue({"t"})});
    DialogueBox* b = open(dialogue({"A", "B"}, {"P", "Q"}, {dialogue({"p"}), next}));
    const std::string list = "Name\n\n 1. P\n\n 2. Q\n\n";

    // While pages remain, digits are ignored, alone or with Space.
    tap({Key::Num1});
    EXPECT_EQ(shown(), "Name\n\nA");
    holdKeys({Key::Space, Key::Num2});
    runFrame();
    EXPECT_EQ(shown(), "Name\n\nB");
    EXPECT_EQ(b->lastChoice, 0);

    // Neither a digit pressed earlier nor one still held when the list
    // comes up chooses anything.
    holdKeys({Key::Num2});
    runFrame();
    holdKeys({Key::Num2, Key::Space});
    runFrame();
    EXPECT_EQ(shown(), list);
    runFrames(2, {Key::Num2});
    runFrames(2);
    EXPECT_EQ(shown(), list);
    EXPECT_EQ(b->lastChoice, 0);

    // Space and the keypad's other digits change nothing while the list is up.
    tap({Key::Space});
    tap({Key::Numpad0, Key::Numpad4});
    EXPECT_EQ(shown(), list);

    // The keypad's 2 chooses like the main row's.
    tap({Key::Numpad2});
    EXPECT_EQ(shown(), "Name\n\nq");
    EXPECT_EQ(b->lastChoice, 2);

    // Nor is the choice made at one node carried to the next one's list.
    tap({Key::Space});
    runFrames(2);
    EXPECT_EQ(shown(), "Name\n\n 1. S\n\n 2. T\n\n");
    tap({Key::Num1});
    EXPECT_EQ(shown(), "Name\n\ns");
    EXPECT_EQ(b->lastChoice, 1);
}

TEST_F(DialogueBoxTest, TheKeypadChoosesLikeTheMainRow)
{
    const std::string three = dialogue({"pick"}, {"X", "Y", "Z"}, {dialogue({"x"}), dialogue({"y"}), dialogue({"z"})});
    const Key keypad[] = {Key::Numpad1, Key::Numpad2, Key::Numpad3};
    for (int n = 1; n <= 3; ++n) {
        SCOPED_TRACE(n);
        DialogueBox* b = open(three);
        tap({Key::Space});
        tap({keypad[n - 1]});
        EXPECT_EQ(b->lastChoice, n);
        EXPECT_EQ(shown(), std::string("Name\n\n") + "xyz"[n - 1]);
        tap({Key::Space});
        EXPECT_EQ(Game::currentState, world);
    }
    EXPECT_EQ(speaker->calls, (std::vector<int>{1, 2, 3}));
}

TEST_F(DialogueBoxTest, SpaceAndADigitInOneFrameOnTheLastPageChooseAtOnce)
{
    DialogueBox* b = open(dialogue({"A", "B"}, {"P", "Q"}, {dialogue({"p1", "p2"}), dialogue({"q"})}));
    tap({Key::Space});
    EXPECT_EQ(shown(), "Name\n\nB");

    holdKeys({Key::Space, Key::Num1});
    runFrame();
    EXPECT_EQ(b->lastChoice, 1);
    EXPECT_EQ(b->node, &speaker->dialogue->responses[0]);
    EXPECT_EQ(shown(), "Name\n\np1");

    // Keys still held: nothing more happens.
    holdKeys({Key::Space, Key::Num1});
    runFrame();
    EXPECT_EQ(shown(), "Name\n\np1");
}

TEST_F(DialogueBoxTest, KeysForOptionsThatLeadNowhereAreIgnored)
{
    // Three options, a response for only two of them.
    DialogueBox* b = open(dialogue({"pick"}, {"P", "Q", "R"}, {dialogue({"p"}), dialogue({"q"})}));
    tap({Key::Space});
    const std::string list = "Name\n\n 1. P\n\n 2. Q\n\n 3. R\n\n";
    ASSERT_EQ(shown(), list);
    tap({Key::Num3});
    runFrames(2);
    EXPECT_EQ(shown(), list);
    EXPECT_EQ(b->lastChoice, 0);
    EXPECT_EQ(b->node, speaker->dialogue);

    // A node of two options: Num3, then Space, do nothing.
    tap({Key::Num2});
    ASSERT_EQ(shown(), "Name\n\nq");
    tap({Key::Space});
    ASSERT_EQ(Game::currentState, world);
    b = open(dialogue({"A"}, {"P", "Q"}, {dialogue({"p"}), dialogue({"q"})}));
    tap({Key::Space});
    const std::string two = "Name\n\n 1. P\n\n 2. Q\n\n";
    tap({Key::Num3});
    EXPECT_EQ(shown(), two);
    tap({Key::Space});
    runFrames(2);
    EXPECT_EQ(shown(), two);
    EXPECT_EQ(b->lastChoice, 0);
    EXPECT_EQ(Game::currentState, b->dialogueState);
    EXPECT_EQ(speaker->calls, std::vector<int>{2});

    tap({Key::Num1});
    EXPECT_EQ(shown(), "Name\n\np");
    tap({Key::Space});
    EXPECT_EQ(speaker->calls, (std::vector<int>{2, 1}));
}

TEST_F(DialogueBoxTest, NodesWithoutLinesShowTheNameAlone)
{
    // A leaf without lines: the name alone, and Space ends it.
    open("<dialogue><text/></dialogue>");
    EXPECT_EQ(shown(), "Name\n\n");
    tap({Key::Space});
    EXPECT_EQ(speaker->calls, std::vector<int>{0});
    EXPECT_EQ(Game::currentState, world);

    // A node with options but no lines: Space brings up the options.
    speaker->calls.clear();
    open(dialogue({}, {"P"}, {"<dialogue><text></text></dialogue>"}));
    EXPECT_EQ(shown(), "Name\n\n");
    tap({Key::Space});
    EXPECT_EQ(shown(), "Name\n\n 1. P\n\n");

    // A response without lines, reached by an option, ends like a leaf.
    tap({Key::Num1});
    EXPECT_EQ(shown(), "Name\n\n");
    EXPECT_EQ(box()->lastChoice, 1);
    tap({Key::Space});
    EXPECT_EQ(speaker->calls, std::vector<int>{1});
    EXPECT_EQ(Game::currentState, world);
}

TEST_F(DialogueBoxTest, PanelSitsAtTheBottomOfTheViewOfEachConversation)
{
    ASSERT_EQ(Game::window.getSize(), sf::Vector2u(640, 480));

    sf::View view = Game::window.getDefaultView();
    view.setCenter(1000.5f, 700.25f);
    Game::window.setView(view);
    DialogueBox* first = open(dialogue({"one"}));
    ASSERT_NE(first, nullptr);

    const sf::RectangleShape& panel = DialogueBox::_box;
    EXPECT_EQ(panel.getSize(), sf::Vector2f(634, 100));
    EXPECT_EQ(panel.getFillColor(), sf::Color(0, 50, 200, 255));
    EXPECT_EQ(panel.getOutlineColor(), sf::Color(0, 25, 100, 255));
    EXPECT_EQ(panel.getOutlineThickness(), 3.f);

    EXPECT_EQ(first->x, 683); // 1000.5 - 317, truncated
    EXPECT_EQ(first->y, 837); // 700.25 + 137, truncated
    EXPECT_EQ(panel.getPosition(), sf::Vector2f(683, 837));
    EXPECT_EQ(first->message.getPosition(), sf::Vector2f(693, 837));
    EXPECT_EQ(first->message.getCharacterSize(), 10u);
    EXPECT_EQ(first->message.getFont(), &DialogueBox::_font);
    EXPECT_EQ(first->message.getFillColor(), sf::Color::White);
    EXPECT_TRUE(first->visible);

    tap({Key::Space});
    ASSERT_EQ(Game::currentState, world);

    // The second box keeps the panel and is placed from the view it finds;
    // negative positions are truncated toward zero.
    view.setCenter(-100.5f, -300.75f);
    Game::window.setView(view);
    DialogueBox* second = open(dialogue({"two"}));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->x, -417);
    EXPECT_EQ(second->y, -163);
    EXPECT_EQ(panel.getPosition(), sf::Vector2f(-417, -163));
    EXPECT_EQ(second->message.getPosition(), sf::Vector2f(-407, -163));
    EXPECT_EQ(panel.getSize(), sf::Vector2f(634, 100));
    EXPECT_EQ(panel.getFillColor(), sf::Color(0, 50, 200, 255));
    EXPECT_EQ(panel.getOutlineColor(), sf::Color(0, 25, 100, 255));
    EXPECT_EQ(panel.getOutlineThickness(), 3.f);
    EXPECT_EQ(second->message.getCharacterSize(), 10u);
}

TEST_F(DialogueBoxTest, PanelKeepsItsPlaceInThePictureInAnyWindowSize)
{
    struct Case {
        unsigned w, h;
        sf::Vector2i corner; // the panel's top-left corner on screen
    } cases[] = {
        {1280, 960, {6, 754}},    // 2x: (3, 377) doubled
        {1000, 500, {183, 387}},  // 1x, bars of 180 and 10
        {1400, 1000, {66, 774}},  // 2x, bars of 60 and 20
        {640, 480, {3, 377}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
        Game::window.setSize(sf::Vector2u(c.w, c.h));
        Game::fitView();
        sf::View camera = Game::window.getView();
        camera.setCenter(500, 300);
        Game::window.setView(camera);
        DialogueBox::_initialized = false; // the panel is sized by the first box

        DialogueBox* b = open(dialogue({"hello"}));
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(DialogueBox::_box.getSize(), sf::Vector2f(634, 100));
        EXPECT_EQ(b->x, 183); // 500 - 320 + 3
        EXPECT_EQ(b->y, 437); // 300 - 240 + 377
        // A quarter pixel inside, so that rounding cannot move it to the pixel before.
        const sf::Vector2f inside = DialogueBox::_box.getPosition() + sf::Vector2f(0.25f, 0.25f);
        EXPECT_EQ(Game::window.mapCoordsToPixel(inside), c.corner);
        tap({Key::Space});
        ASSERT_EQ(Game::currentState, world);
    }
    Game::window.setSize(sf::Vector2u(640, 480));
    Game::fitView();
}

namespace {
// The mark in the panel's corner, as a plain string ("Space >" for the arrow,
// "Space x" for the cross).
std::string mark(const DialogueBox& b)
{
    std::string text;
    for (sf::Uint32 c : b.hint.getString()) {
        if (c == 0x25BA)
            text += '>';
        else if (c == 0xD7)
            text += 'x';
        else
            text += static_cast<char>(c);
    }
    return text;
}
} // namespace

// The corner says how to go on at every step, and Return turns pages like
// Space, down to the end of the conversation.
TEST_F(DialogueBoxTest, TheCornerSaysHowToGoOnAndReturnTurnsLikeSpace)
{
    const std::string two = dialogue({"ask"}, {"P", "Q"}, {dialogue({"p1", "p2"}), dialogue({"q"})});
    DialogueBox* b = open(dialogue({"A", "B"}, {"X", "Y", "Z"}, {dialogue({"x"}), two, dialogue({"z"})}));
    struct Step {
        Key key;          // pressed before looking (Unknown: the box as opened)
        const char* page; // what the panel shows
        const char* mark;
    } steps[] = {
        {Key::Unknown, "Name\n\nA", "Space >"},
        {Key::Return, "Name\n\nB", "Space >"}, // the answers follow the last page
        {Key::Return, "Name\n\n 1. X\n\n 2. Y\n\n 3. Z\n\n", "1, 2 or 3"},
        {Key::Num2, "Name\n\nask", "Space >"},
        {Key::Space, "Name\n\n 1. P\n\n 2. Q\n\n", "1 or 2"},
        {Key::Num1, "Name\n\np1", "Space >"},
        {Key::Return, "Name\n\np2", "Space x"},
    };
    for (const Step& s : steps) {
        if (s.key != Key::Unknown)
            tap({s.key});
        SCOPED_TRACE(s.page);
        ASSERT_EQ(box(), b);
        EXPECT_EQ(shown(), s.page);
        EXPECT_EQ(mark(*b), s.mark);
        // Inside the panel, in its bottom-right corner.
        const sf::FloatRect at = b->hint.getGlobalBounds();
        const sf::FloatRect panel = DialogueBox::_box.getGlobalBounds();
        EXPECT_LE(at.left + at.width, panel.left + panel.width - 3 - 6);
        EXPECT_GE(at.left, panel.left + panel.width / 2);
        EXPECT_LE(at.top + at.height, panel.top + panel.height - 3);
        EXPECT_GE(at.top, panel.top + panel.height / 2);
    }
    tap({Key::Return});
    EXPECT_EQ(speaker->calls, std::vector<int>{1});
    EXPECT_EQ(Game::currentState, world);

    // An answer without a response is not offered.
    b = open(dialogue({"pick"}, {"P", "Q", "R"}, {dialogue({"p"}), dialogue({"q"})}));
    tap({Key::Space});
    EXPECT_EQ(mark(*b), "1 or 2");
}

// The key that ended a conversation opens nothing while it is held, even
// when the world's player would talk on it; let go and pressed again, it does.
TEST_F(DialogueBoxTest, TheKeyThatClosedAConversationMustBeLetGoBeforeItOpensAnother)
{
    for (Key closing : {Key::Space, Key::Return}) {
        SCOPED_TRACE(closing == Key::Space ? "Space" : "Return");
        open(dialogue({"once"}));
        holdKeys({closing});
        runFrame();
        ASSERT_EQ(Game::currentState, world);
        // Still held: the world reads it as up, so nothing talks on it.
        runFrames(3, {closing});
        EXPECT_FALSE(Keyboard::keyDown(closing));
        EXPECT_FALSE(Keyboard::keyPressed(closing));
        // Let go, and down again: a new press.
        runFrames(1);
        holdKeys({closing});
        EXPECT_TRUE(Keyboard::keyPressed(closing));
        runFrames(1);
    }

    // In the same snapshot (a second update before the keys are read again,
    // as a slow frame catching up does), the closing key is spent already.
    open(dialogue({"once"}));
    holdKeys({Key::Space});
    runFrame();
    ASSERT_EQ(Game::currentState, world);
    EXPECT_FALSE(Keyboard::keyPressed(Key::Space));
    EXPECT_EQ(speaker->calls, (std::vector<int>{0, 0, 0}));
}

namespace {
// The voice's sounds heard so far.
std::size_t blips()
{
    std::size_t n = 0;
    for (const Audio::Heard& h : Audio::heard)
        n += h.cue == Audio::Cue::Voice;
    return n;
}

unsigned long long pictureDigest()
{
    PictureDigest digest;
    Game::currentState->addToPictureDigest(digest);
    return digest.value;
}
} // namespace

// A page of ten letters after the speaker's name, which shows at once: the
// step after it opened at which the last letter is drawn, and how often the
// voice sounded on the way. The message holds the whole page throughout, and
// the picture changes with every letter drawn until the page is complete.
TEST_F(DialogueBoxTest, EachTextSpeedCompletesThePageAtItsStep)
{
    const struct Case {
        TextSpeed::Speed speed;
        int steps;
        std::size_t blips;
    } cases[] = {
        {TextSpeed::Speed::Slow, 20, 3},   // half a letter a step; voice at letters 1, 5, 9
        {TextSpeed::Speed::Normal, 10, 2}, // a letter a step; voice at 1 and 7
        {TextSpeed::Speed::Fast, 4, 1},    // three letters a step
        {TextSpeed::Speed::Instant, 0, 1}, // whole at once, one sound as ever
    };
    Audio::listening = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(TextSpeed::name(c.speed));
        TextSpeed::current = c.speed;
        Audio::heard.clear();
        DialogueBox* b = open(dialogue({"abcdefghij"}));
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->typed, c.steps == 0 ? 16u : 6u); // "Name\n\n" at once
        int steps = 0;
        unsigned long long before = pictureDigest();
        while (!b->pageComplete() && steps < 100) {
            const std::size_t typed = b->typed;
            holdKeys({});
            runFrame();
            ++steps;
            EXPECT_EQ(shown(), "Name\n\nabcdefghij");
            const unsigned long long now = pictureDigest();
            EXPECT_EQ(now != before, b->typed != typed) << "step " << steps;
            before = now;
        }
        EXPECT_EQ(steps, c.steps);
        EXPECT_EQ(blips(), c.blips);
        holdKeys({});
        runFrame();
        EXPECT_EQ(pictureDigest(), before) << "a complete page rests";
        tap({Key::Space});
        EXPECT_EQ(Game::currentState, world);
    }
    Audio::listening = false;
    Audio::heard.clear();
}

// Space (and Return) first completes a page still typing itself out, without
// a sound, then turns it; the answers come once the last page is complete.
TEST_F(DialogueBoxTest, TheTurnKeyCompletesThePageThenTurnsIt)
{
    TextSpeed::current = TextSpeed::Speed::Normal;
    Audio::listening = true;
    Audio::heard.clear();
    DialogueBox* b = open(dialogue({"first page", "last page"}, {"Yes"}, {dialogue({"Good."})}));
    ASSERT_NE(b, nullptr);
    for (const Key key : {Key::Space, Key::Return}) {
        SCOPED_TRACE(key == Key::Space ? "space" : "return");
        holdKeys({});
        runFrame(); // the first letter, and the voice
        ASSERT_FALSE(b->pageComplete());
        const std::string page = shown();
        const std::size_t heard = blips();
        tap({key});
        EXPECT_TRUE(b->pageComplete());
        EXPECT_EQ(shown(), page);
        EXPECT_FALSE(b->optionsShown);
        EXPECT_EQ(blips(), heard);
        tap({key});
        EXPECT_NE(shown(), page);
    }
    EXPECT_TRUE(b->optionsShown);
    Audio::listening = false;
    Audio::heard.clear();
}

// Someone with facings is shown beside the words, facing the player; someone
// without (or whose row the sheet lacks) has no portrait and the words take
// the panel's width.
TEST_F(DialogueBoxTest, ASpeakerWithFacingsHasAPortraitBesideTheWords)
{
    ResourceDir dir;
    dir.image("res/gfx/people.png", 128, 64); // two rows of four facings
    forgetTileset("people");
    const struct Case {
        int facings;
        bool portrait;
    } cases[] = {{1, true}, {-1, false}, {2, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.facings);
        speaker->facings = c.facings;
        DialogueBox* b = open(dialogue({"Hello."}));
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->hasPortrait, c.portrait);
        const float left = static_cast<float>(b->x) + (c.portrait ? 84 : 10);
        EXPECT_EQ(b->message.getPosition(), sf::Vector2f(left, static_cast<float>(b->y)));
        EXPECT_EQ(b->textWidth(), c.portrait ? 540.f : 614.f);
        Game::window.clear();
        Game::currentState->draw();
        SpriteBatch::game().flush();
        // The middle of the portrait's place: the facing down of row 1 (tile 6), doubled.
        const sf::Color middle = windowPixel(static_cast<unsigned>(b->x + 10 + 32), static_cast<unsigned>(b->y + 50));
        if (c.portrait) {
            EXPECT_EQ(b->portrait.getGlobalBounds(), sf::FloatRect(b->x + 10.f, b->y + 18.f, 64, 64));
            EXPECT_EQ(middle, tileColour(6));
        } else {
            EXPECT_NE(middle, tileColour(6));
        }
        tap({Key::Space});
        ASSERT_EQ(Game::currentState, world);
    }
    forgetTileset("people");
}

// The speed is the player's setting: normal until the settings screen's row
// changes it (round the four), kept in the settings and read back from them;
// the tests' variable wins over the file.
TEST(TextSpeedTest, TheRowGoesRoundAndKeepsItsChoiceInTheSettings)
{
    const std::string variable = std::getenv(TextSpeed::environmentVariable);
    unsetenv(TextSpeed::environmentVariable);
    Settings::clear();
    TextSpeed::load();
    const std::vector<SettingsScreen::Entry> before = SettingsScreen::entries;
    TextSpeed::addSettingsEntry();
    TextSpeed::addSettingsEntry(); // once only
    ASSERT_EQ(SettingsScreen::entries.size(), before.size() + 1);
    const SettingsScreen::Entry row = SettingsScreen::entries.back();
    SettingsScreen::entries = before;
    EXPECT_EQ(row.label(), "Text speed: normal");
    for (const auto& [step, word] : {std::pair(1, "fast"), {1, "instant"}, {1, "slow"}, {-1, "instant"}}) {
        row.adjust(step);
        TextSpeed::load();
        EXPECT_EQ(row.label(), std::string("Text speed: ") + word);
    }
    setenv(TextSpeed::environmentVariable, "slow", 1);
    TextSpeed::load();
    EXPECT_EQ(TextSpeed::current, TextSpeed::Speed::Slow);
    setenv(TextSpeed::environmentVariable, variable.c_str(), 1);
    Settings::clear();
    TextSpeed::current = TextSpeed::Speed::Instant;
}

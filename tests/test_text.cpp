// Text as written: every text a player reads is UTF-8, and each character is
// drawn with the font's own glyph for it, whatever the desktop's locale.
#include "core/Entity.h"
#include "core/Game.h"
#include "dialogue/DialogueBox.h"
#include "dialogueformat/DialogueTree.h"
#include "input/Input.h"
#include "resources/StoryFont.h"
#include "resources/Utf8.h"
#include "screens/GoalLine.h"
#include "screens/MenuScreen.h"
#include "render/WindowText.h"
#include "TestSupport.h"

#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

const std::string written = "Caf\xC3\xA9 na\xC3\xAFve \xE2\x80\x94 \xC2\xBD d\xC3\xA9j\xC3\xA0 vu, it\xE2\x80\x99s";

sf::String asWritten(const std::string& text)
{
    return sf::String::fromUtf8(text.begin(), text.end());
}

// What the window shows after `draw`, drawn on black.
sf::Image picture(const std::function<void()>& draw)
{
    Game::window.clear(sf::Color::Black);
    draw();
    sf::Texture shot;
    shot.create(Game::window.getSize().x, Game::window.getSize().y);
    shot.update(Game::window);
    return shot.copyToImage();
}

bool samePixels(const sf::Image& a, const sf::Image& b)
{
    const std::size_t bytes = a.getSize().x * a.getSize().y * 4;
    return a.getSize() == b.getSize() && std::equal(a.getPixelsPtr(), a.getPixelsPtr() + bytes, b.getPixelsPtr());
}

// `text` as the font draws it, in the size, colour and place of `like`.
sf::Text reference(const sf::Text& like, const sf::String& text)
{
    sf::Text r(text, *like.getFont(), like.getCharacterSize());
    r.setFillColor(like.getFillColor());
    r.setPosition(like.getPosition());
    return r;
}

class Named : public Entity {
public:
    explicit Named(const std::string& who)
        : Entity(0, 0)
    {
        name = who;
    }
};

class OneItemMenu : public MenuScreen {
public:
    explicit OneItemMenu(const std::string& label)
        : MenuScreen(nullptr)
    {
        menu.add("other", "Other");
        menu.add("it", label);
        menu.selected = 0;
        menu.width = 500; // wide enough that the label does not widen the panel
    }

protected:
    void chosen(const std::string&) override {}
};

// The shipped font, read from the sources' res/.
class TextAsWritten : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetGame();
        home = fs::current_path();
        const char* source = std::getenv("TARNWICK_SOURCE_DIR");
        fs::current_path(source ? source : "..");
        ASSERT_TRUE(StoryFont::get().getInfo().family.size() > 0) << "the shipped font is not found";
    }
    void TearDown() override
    {
        fs::current_path(home);
        resetGame();
    }
    fs::path home;
};

} // namespace

TEST(Utf8, ValidTextIsDecodedAndEveryBrokenByteShowsAsAReplacement)
{
    const sf::Uint32 bad = 0xFFFD;
    struct Case {
        const char* what;
        std::string bytes;
        std::size_t firstInvalid;
        std::u32string shown;
    } cases[] = {
        {"ASCII", "Space", std::string::npos, U"Space"},
        {"two, three and four bytes", "\xC3\xA9\xE2\x80\x99\xF0\x9F\x98\x80", std::string::npos, U"\u00E9\u2019\U0001F600"},
        {"Latin-1, not UTF-8", "Caf\xE9!", 3, {U'C', U'a', U'f', bad, U'!'}},
        {"a stray continuation byte", "a\x80z", 1, {U'a', bad, U'z'}},
        {"an overlong slash", "\xC0\xAF", 0, {bad, bad}},
        {"an overlong three-byte form", "\xE0\x80\xAF", 0, {bad, bad, bad}},
        {"a surrogate", "\xED\xA0\x80", 0, {bad, bad, bad}},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", 0, {bad, bad, bad, bad}},
        {"cut off at the end", "ok\xE2\x80", 2, {U'o', U'k', bad, bad}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Utf8::firstInvalid(c.bytes), c.firstInvalid);
        const sf::String shown = Utf8::toSfString(c.bytes);
        EXPECT_EQ(std::u32string(shown.begin(), shown.end()), c.shown);
    }
}

TEST_F(TextAsWritten, AGoalLineDrawsTheFontsGlyphsForWhatIsWritten)
{
    GoalLine line;
    Game::part = -1;
    line.goals.start = " "; // the strip alone
    const sf::Image strip = picture([&] { line.draw(); });
    line.goals.start = written;
    const sf::Image drawn = picture([&] { line.draw(); });

    sf::Text expected(asWritten(written), StoryFont::get(), GoalLine::characterSize);
    expected.setPosition(8, 2);
    const sf::Image wanted = picture([&] {
        line.goals.start = " ";
        line.draw();
        Game::window.setView(Game::pictureView());
        Game::window.draw(expected);
    });
    EXPECT_FALSE(samePixels(drawn, strip)) << "nothing written";
    EXPECT_TRUE(samePixels(drawn, wanted));
}

TEST_F(TextAsWritten, APageAndAnAnswerDrawTheFontsGlyphsForWhatIsWritten)
{
    ResourceDir dir;
    dir.write("talk.xml", "<dialogue><text><l>" + written + "</l></text><options><o>" + written
                              + "</o></options><responses><r><dialogue><text><l>Oui.</l></text></dialogue></r>"
                                "</responses></dialogue>");
    std::unique_ptr<DialogueTree> tree(DialogueTree::load("talk.xml"));
    Named speaker("Zo\xC3\xAB");
    DialogueBox box(tree.get(), &speaker, nullptr);

    const auto drawsAsWritten = [&](const std::string& text) {
        EXPECT_EQ(box.message.getString(), asWritten(text));
        const sf::Image drawn = picture([&] { box.draw(); });
        const sf::Text expected = reference(box.message, asWritten(text));
        box.message.setString("");
        const sf::Image wanted = picture([&] {
            box.draw();
            Game::window.draw(expected);
        });
        EXPECT_TRUE(samePixels(drawn, wanted));
    };
    {
        SCOPED_TRACE("a page");
        drawsAsWritten("Zo\xC3\xAB\n\n" + written);
    }
    {
        SCOPED_TRACE("an answer");
        box.optionsShown = true;
        box.loadOptions();
        drawsAsWritten("Zo\xC3\xAB\n\n " + Input::answerLabel(1) + ". " + written + "\n\n");
    }
}

TEST_F(TextAsWritten, AMenuItemDrawsTheFontsGlyphsForWhatIsWritten)
{
    OneItemMenu blank(" ");
    OneItemMenu menu(written);
    Game::window.setView(Game::pictureView());
    const sf::Image drawn = picture([&] { menu.draw(); });

    // Centred in its row, four pixels below the row's top, white as an item
    // that is not the chosen one.
    sf::Text expected(asWritten(written), StoryFont::get(), 16);
    const sf::FloatRect box = expected.getLocalBounds();
    const sf::FloatRect row = menu.menu.area(1);
    expected.setPosition(static_cast<float>(static_cast<int>(menu.menu.centreX - box.width / 2 - box.left)),
                         row.top + 4);
    const sf::Image wanted = picture([&] {
        blank.draw();
        Game::window.setView(Game::pictureView());
        Game::window.draw(expected);
    });
    EXPECT_TRUE(samePixels(drawn, wanted));
}

// Text is made at the window's resolution: at 2x a letter's edges are as
// sharp as at 1x (one blended pixel from dark to light), where a letter
// made at the picture's size and scaled with it would blur over twice as many.
TEST_F(TextAsWritten, TextIsAsSharpAtTwiceTheScaleAsAtItsOwnSize)
{
    // The widest ramp from dark to light along the row through the middle of
    // a letter drawn at (100, 100) in the picture's view that `view` shows.
    const auto edge = [](const sf::View& view, bool atWindowPixels) {
        const sf::Image drawn = picture([&] {
            Game::window.setView(view);
            sf::Text letter("H", StoryFont::get(), 16);
            letter.setStyle(sf::Text::Bold);
            letter.setPosition(100, 100);
            if (atWindowPixels)
                WindowText::draw(letter);
            else
                Game::window.draw(letter);
        });
        const sf::Vector2i middle = Game::window.mapCoordsToPixel({106, 112}, view);
        int widest = 0, ramp = 0;
        for (int x = middle.x - 20; x < middle.x + 40; ++x) {
            const int v = drawn.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(middle.y)).r;
            ramp = v > 40 && v < 215 ? ramp + 1 : 0;
            widest = std::max(widest, ramp);
        }
        return widest;
    };
    sf::View once(sf::FloatRect(0, 0, 640, 480));
    sf::View twice(sf::FloatRect(0, 0, 320, 240)); // every picture pixel two window pixels
    const int own = edge(once, true);
    EXPECT_GE(own, 1);
    EXPECT_LE(edge(twice, true), own);
    EXPECT_GT(edge(twice, false), own) << "scaled with the picture the letter's edges would be wider";
}

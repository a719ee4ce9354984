// The game in the player's language: which language the environment asks
// for, catalogues looked up line by line, a language changed while a
// conversation is open, the checker's report on translations, and the whole
// shipped story played in the tests' pseudo-language.
#include "check/CheckReport.h"
#include "check/Checker.h"
#include "check/ConversationCheck.h"
#include "check/StoryExplorer.h"
#include "core/Game.h"
#include "dialogue/DialogueBox.h"
#include "disk/Settings.h"
#include "i18n/Catalogue.h"
#include "i18n/Language.h"
#include "world/MainState.h"

#include "StoryDriver.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

// Compiles a catalogue's text with msgfmt, as the build does.
void compile(const ResourceDir& dir, const std::string& po, const std::string& mo, const std::string& text)
{
    dir.write(po, text);
    fs::create_directories(fs::path(dir.path()) / fs::path(mo).parent_path());
    const std::string command = "msgfmt -o '" + dir.path() + "/" + mo + "' '" + dir.path() + "/" + po + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

const std::string header = "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";

std::string entry(const std::string& english, const std::string& translation, const std::string& context = "",
                  bool fuzzy = false)
{
    return std::string(fuzzy ? "#, fuzzy\n" : "") + (context.empty() ? "" : "msgctxt \"" + context + "\"\n")
           + "msgid \"" + english + "\"\nmsgstr \"" + translation + "\"\n\n";
}

struct CatalogueReset {
    ~CatalogueReset()
    {
        Catalogue::setFolders({}, "");
        Catalogue::use({});
        Settings::clear();
    }
};

} // namespace

TEST(LanguageChoice, TheEnvironmentIsReadAsGettextReadsIt)
{
    using Env = std::map<std::string, std::string>;
    const struct Case {
        Env env;
        std::vector<std::string> wanted;
    } cases[] = {
        {{}, {}},
        {{{"LANG", "de_DE.UTF-8"}}, {"de_DE", "de"}},
        {{{"LANG", "fr_FR.UTF-8"}, {"LC_MESSAGES", "de_AT.UTF-8"}}, {"de_AT", "de"}},
        {{{"LC_MESSAGES", "fr_FR"}, {"LC_ALL", "de_CH.UTF-8"}}, {"de_CH", "de"}},
        {{{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "fr:de_AT"}}, {"fr", "de_AT", "de"}},
        {{{"LANG", "de_DE.UTF-8@euro"}}, {"de_DE@euro", "de_DE", "de@euro", "de"}},
        {{{"LANGUAGE", "de"}}, {"de"}},                          // no locale set: LANGUAGE still counts
        {{{"LANG", "C"}, {"LANGUAGE", "de"}}, {}},               // the C locale is English whatever LANGUAGE says
        {{{"LC_ALL", "POSIX"}, {"LANG", "de_DE.UTF-8"}}, {}},
        {{{"LANG", "C.UTF-8"}}, {}},
        {{{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "fr:en:de"}}, {"fr"}}, // English ends the list
        {{{"LANG", "en_GB.UTF-8"}}, {}},
        {{{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", ""}}, {"de_DE", "de"}}, // empty counts as unset
    };
    for (const Case& c : cases) {
        std::string told;
        for (const auto& [k, v] : c.env)
            told += k + "=" + v + " ";
        SCOPED_TRACE(told);
        const auto get = [&c](const char* name) -> const char* {
            const auto found = c.env.find(name);
            return found == c.env.end() ? nullptr : found->second.c_str();
        };
        EXPECT_EQ(Language::fromEnvironment(get), c.wanted);
    }
}

TEST(Catalogues, APartialCatalogueFallsBackLineByLineAndTheWorldsOwnComesFirst)
{
    resetGame();
    ResourceDir dir;
    CatalogueReset reset;
    compile(dir, "game.po", "locale/de/LC_MESSAGES/tarnwick.mo",
            header + entry("Hello.", "Hallo.") + entry("Goodbye.", "Auf Wiedersehen.") + entry("Archive", "Archiv", "room")
                + entry("Tea", "Tee", "", true) + entry("Not yet.", ""));
    compile(dir, "po/de.po", "po/de.mo", header + entry("Hello.", "Servus."));
    dir.write("po/fr.mo", "not a catalogue at all"); // refused, quietly English
    Catalogue::setFolders({dir.path() + "/locale"}, "po");

    Catalogue::use({"de_AT", "de"});
    EXPECT_EQ(Catalogue::world("Hello."), "Servus.");          // the world's own first
    EXPECT_EQ(Catalogue::world("Goodbye."), "Auf Wiedersehen."); // then the game's
    EXPECT_EQ(Catalogue::world("Not yet."), "Not yet.");       // untranslated: English
    EXPECT_EQ(Catalogue::world("Tea"), "Tea");                 // fuzzy: English
    EXPECT_EQ(Catalogue::world("Archive", "room"), "Archiv");
    EXPECT_EQ(Catalogue::world("Archive"), "Archive");         // another context
    EXPECT_EQ(Catalogue::world("Never written."), "Never written.");

    Catalogue::use({"fr", "de"}); // a broken catalogue is passed over, line by line too
    EXPECT_EQ(Catalogue::world("Goodbye."), "Auf Wiedersehen.");
    std::ifstream whole(dir.path() + "/po/de.mo", std::ios::binary);
    const std::string mo((std::istreambuf_iterator<char>(whole)), std::istreambuf_iterator<char>());
    dir.write("po/it.mo", mo.substr(0, mo.size() - 2)); // its last string cut short: damaged, never read past its end
    Catalogue::use({"it", "de"});
    EXPECT_EQ(Catalogue::world("Hello."), "Servus.");
    fs::remove(dir.path() + "/po/it.mo");
    Catalogue::use({"../po/de"}); // a language's name is no path
    EXPECT_EQ(Catalogue::world("Hello."), "Hello.");
    Language::englishOnly = true; // a recording or a replay
    Language::apply("de");
    EXPECT_EQ(Catalogue::world("Goodbye."), "Goodbye.");
    Language::englishOnly = false;

    // Offered in the setting: automatic, English, then what has a catalogue.
    EXPECT_EQ(Language::choices(), (std::vector<std::string>{"auto", "en", "de", "fr"}));
    EXPECT_EQ(Language::ownName("de"), "Deutsch");
}

TEST(Catalogues, ChangingTheLanguageRedrawsTheOpenConversationAndTheGoalLine)
{
    resetGame();
    ResourceDir dir;
    CatalogueReset reset;
    signWorld(dir);
    dir.write("res/txt/sign.xml", "<dialogue><text><l>Keep off the grass.</l><l>Really.</l></text>"
                                  "<options><o>Why?</o></options><responses><r>" + leafXml("Because.") + "</r>"
                                  "</responses></dialogue>");
    compile(dir, "po/de.po", "po/de.mo",
            header + entry("Keep off the grass.", "Rasen nicht betreten.") + entry("Really.", "Wirklich.")
                + entry("Why?", "Warum?") + entry("start", "Anfang", "goal line"));
    Catalogue::setFolders({}, "po");
    Settings::set("language", "language", "en");
    Language::apply(Language::setting());
    auto* world = new MainState();
    Game::currentState = world;
    runFrames(1, {sf::Keyboard::Return});
    runFrames(1);
    DialogueBox* box = openBox();
    ASSERT_NE(box, nullptr);
    const auto shown = [&box] { return box->message.getString().toAnsiString(); };
    EXPECT_EQ(shown(), "Sign\n\nKeep off the grass.");

    Language::step(+1); // en -> de, kept in the settings
    EXPECT_EQ(Settings::get("language", "language"), "de");
    runFrame();
    EXPECT_EQ(shown(), "Sign\n\nRasen nicht betreten.");
    EXPECT_EQ(world->goalLine.text(), "Anfang");
    runFrames(1, {sf::Keyboard::Space}); // the next page, in German too
    runFrames(1);
    EXPECT_EQ(shown(), "Sign\n\nWirklich.");
    runFrames(1, {sf::Keyboard::Space}); // the answers
    runFrames(1);
    EXPECT_NE(shown().find("Warum?"), std::string::npos) << shown();

    Language::step(-1); // back to English while the answers are shown
    runFrame();
    EXPECT_NE(shown().find("Why?"), std::string::npos) << shown();
    EXPECT_EQ(world->goalLine.text(), "start");
}

TEST(Catalogues, TheCheckerCountsEachLanguageAndFindsLostPlaceholdersAndPagesTooLarge)
{
    resetGame();
    ResourceDir dir;
    CatalogueReset reset;
    signWorld(dir);
    fs::create_directories(dir.path() + "/res/fnt");
    fs::copy_file(std::string(std::getenv("TARNWICK_SOURCE_DIR")) + "/res/fnt/LibMono.ttf", dir.path() + "/res/fnt/LibMono.ttf");
    const std::string wide(120, 'W');
    dir.write("po/tarnwick.pot", header + entry("Keep off the grass.", "") + entry("start", "", "goal line")
                                     + entry("part0 livery {wanted}/{worn}", "", "goal line") + entry("Only here.", ""));
    dir.write("po/de.po", "# a translator's comment\n" + header
                              + "#: res/txt/sign.xml:1\n" + entry("Keep off the grass.", wide)
                              + entry("start", "Anfang {wanted}", "goal line")
                              + entry("part0 livery {wanted}/{worn}", "Teil 0 {worn}", "goal line", true)
                              + entry("part0 table {wanted}/{worn}", "Teil 0 Tisch {worn}", "goal line")
                              + entry("part0 report {wanted}/{worn}", "", "goal line")
                              + entry("part1 livery {wanted}/{worn}", wide + " {wanted}/{worn}", "goal line"));
    const CheckReport report = Checker::check();
    std::vector<std::string> about;
    for (const CheckReport::Problem& p : report.problems)
        if (p.file == "po/de.po")
            about.push_back(p.text());
    ASSERT_EQ(about.size(), 5u) << ::testing::PrintToString(about);
    EXPECT_NE(about[0].find("po/de.po:6: warning: the de text of \"Keep off the grass.\" (res/txt/sign.xml) does not "
                            "fit the panel"), std::string::npos) << about[0];
    EXPECT_NE(about[1].find("\"start\" adds {wanted}"), std::string::npos) << about[1];
    EXPECT_NE(about[2].find("\"part0 table {wanted}/{worn}\" loses {wanted}"), std::string::npos) << about[2];
    // The long goal line, in both situations it shows in (with its counts).
    EXPECT_NE(about[3].find("the de goal line \"" + wide + " 2/0\" is too long"), std::string::npos) << about[3];
    EXPECT_NE(about[4].find("the de goal line \"" + wide + " 2/1\" is too long"), std::string::npos) << about[4];
    EXPECT_NE(std::find(report.notes.begin(), report.notes.end(),
                        "language de (po/de.po): 4 translated, 1 fuzzy, 2 missing"), report.notes.end())
        << ::testing::PrintToString(report.notes);
}

// The whole shipped story, played along the shortest route in the
// pseudo-language (every string longer by a third, every vowel accented) and
// in German: every page fits the panel, and in the pseudo-language every
// name, page, answer list, goal line and room name shows translated.
TEST(Catalogues, TheShippedStoryPlaysToItsEndInThePseudoLanguageAndInGerman)
{
    const char* source = std::getenv("TARNWICK_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    ResourceDir scratch;
    CatalogueReset reset;
    const std::string s = scratch.path(), root = source;
    fs::create_directories(s + "/qps/LC_MESSAGES");
    fs::create_directories(s + "/de/LC_MESSAGES");
    const std::string command = "python3 '" + root + "/tools/make-pseudo.py' --template '" + root
                                + "/po/tarnwick.pot' --output '" + s + "/qps.po' && msgfmt -o '" + s
                                + "/qps/LC_MESSAGES/tarnwick.mo' '" + s + "/qps.po' && msgfmt -o '" + s
                                + "/de/LC_MESSAGES/tarnwick.mo' '" + root + "/po/de.po'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const fs::path back = fs::current_path();
    fs::current_path(source);

    for (const std::string& language : {std::string(Language::pseudo), std::string("de")}) {
        SCOPED_TRACE(language);
        resetGame();
        Catalogue::setFolders({s}, "");
        Catalogue::use({language});
        // English shows as a plain vowel; the pseudo-language has none, and a
        // placeholder's name is never shown.
        const bool pseudo = language == Language::pseudo;
        const auto english = [pseudo](const std::string& text) {
            const std::size_t at = text.find_first_of("aeiouAEIOU");
            return !pseudo || at == std::string::npos ? std::string() : text;
        };
        Game::running = true;
        auto* world = new MainState();
        Game::currentState = world;
        const StoryExplorer::Result proof = StoryExplorer::explore(*world);
        ASSERT_TRUE(proof.endingReachable);
        StoryDriver driver(world);
        int pages = 0, rooms = 0;
        driver.onPage = [&](const DialogueBox& box) {
            ++pages;
            const std::string text = box.message.getString().toAnsiString();
            EXPECT_EQ(english(text), "") << "untranslated";
            const sf::FloatRect size = box.message.getLocalBounds();
            EXPECT_LE(size.left + size.width, box.textWidth()) << text;
            EXPECT_LE(size.top + size.height, DialogueBox::layout(false).height) << text;
        };
        driver.afterFrame = [&] {
            if (Game::currentState != world)
                return;
            EXPECT_EQ(english(world->goalLine.text()), "") << "untranslated goal line";
            const std::string room = world->roomBanner.shown();
            rooms += !room.empty();
            EXPECT_EQ(english(room), "") << "untranslated room";
        };
        for (const StoryExplorer::Talk& talk : proof.route) {
            ASSERT_TRUE(driver.play(talk)) << talk.with;
            if (HasFailure())
                break;
        }
        EXPECT_GT(pages, 20);
        EXPECT_GT(rooms, 0);
    }
    resetGame();
    fs::current_path(back);
}

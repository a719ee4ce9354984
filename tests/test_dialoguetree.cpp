#include "dialogueformat/DialogueTree.h"
#include "TestSupport.h"

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace pt = boost::property_tree;
using testing_support::ResourceDir;

namespace {

using Lines = std::vector<std::string>;

pt::ptree readXml(const std::string& xml)
{
    std::istringstream in(xml);
    pt::ptree document;
    pt::read_xml(in, document);
    return document;
}

DialogueTree fromXml(const std::string& xml)
{
    return DialogueTree(readXml(xml));
}

// The message of the path error that building a tree from xml raises; a
// failed expectation (and an empty string) when none is raised.
std::string pathErrorOf(const std::string& xml)
{
    const pt::ptree document = readXml(xml);
    try {
        DialogueTree tree(document);
    } catch (const pt::ptree_bad_path& e) {
        return e.what();
    }
    ADD_FAILURE() << "no path error for " << xml;
    return std::string();
}

bool endsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool startsWith(const std::string& s, const std::string& head)
{
    return s.compare(0, head.size(), head) == 0;
}

} // namespace

TEST(DialogueTreeTest, ReadsLinesOptionsAndResponsesInDocumentOrderWhateverTheirNames)
{
    const DialogueTree tree = fromXml(R"(
        <dialogue>
          <text><line>one</line><zz>two</zz><line>three</line></text>
          <options><b>first</b><a>second</a></options>
          <responses>
            <w2><dialogue><text><x>after first</x></text></dialogue></w2>
            <w1><dialogue><text><y>after second</y><y>and more</y></text></dialogue></w1>
          </responses>
        </dialogue>)");

    EXPECT_EQ(tree.text, (Lines{"one", "two", "three"}));
    EXPECT_EQ(tree.options, (Lines{"first", "second"}));
    ASSERT_EQ(tree.responses.size(), 2u);
    EXPECT_EQ(tree.responses[0].text, (Lines{"after first"}));
    EXPECT_EQ(tree.responses[1].text, (Lines{"after second", "and more"}));
    EXPECT_TRUE(tree.responses[0].options.empty());
    EXPECT_TRUE(tree.responses[1].responses.empty());
}

TEST(DialogueTreeTest, KeepsCharacterDataExactlyAsWritten)
{
    // A line spread over several lines of the file, indented, with spaces at
    // both ends; references decoded; a nested element splits a line into
    // pieces that are joined; the file may carry a declaration and comments
    // outside the root.
    const DialogueTree tree = fromXml("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                                      "<!-- a conversation -->\n"
                                      "<dialogue>\n"
                                      "  <text>\n"
                                      "    <l>Well now,\n"
                                      "      look who it is.  </l>\n"
                                      "    <l>   </l>\n"
                                      "    <l>&lt;back&gt; &amp; &#65;&quot;</l>\n"
                                      "    <l>Hello <b>there</b> world</l>\n"
                                      "  </text>\n"
                                      "  <options>\n"
                                      "    <o>  Yes\n  please</o>\n"
                                      "  </options>\n"
                                      "  <responses><r><dialogue><text><l>\tTabbed</l></text></dialogue></r></responses>\n"
                                      "</dialogue>\n");

    EXPECT_EQ(tree.text, (Lines{"Well now,\n      look who it is.  ", "   ", "<back> & A\"", "Hello  world"}));
    EXPECT_EQ(tree.options, (Lines{"  Yes\n  please"}));
    ASSERT_EQ(tree.responses.size(), 1u);
    EXPECT_EQ(tree.responses[0].text, (Lines{"\tTabbed"}));
}

TEST(DialogueTreeTest, CommentsAndAttributesInsideTextBecomeLines)
{
    const DialogueTree tree = fromXml("<dialogue><text mood=\"grim\"><l>A</l><!-- a note --><l>B</l></text>"
                                      "<text><l>second text is ignored</l></text></dialogue>");
    // The attribute gathers into one empty child ahead of the elements; the
    // comment keeps its place and its text.
    EXPECT_EQ(tree.text, (Lines{"", "A", " a note ", "B"}));
    EXPECT_TRUE(tree.options.empty());
}

TEST(DialogueTreeTest, NodeWithoutOptionsIsALeafAndIgnoresResponses)
{
    // The responses of a node without options are never looked at, so even a
    // wrapper without a dialogue inside does no harm.
    const DialogueTree tree = fromXml("<dialogue><text><l>one</l><l>two</l></text>"
                                      "<responses><r><nothing/></r></responses></dialogue>");
    EXPECT_EQ(tree.text, (Lines{"one", "two"}));
    EXPECT_TRUE(tree.options.empty());
    EXPECT_TRUE(tree.responses.empty());
}

TEST(DialogueTreeTest, EmptyOptionsStillRequireWellFormedResponsesWhenThereAreAny)
{
    const DialogueTree tree = fromXml("<dialogue><text><l>hi</l></text><options/>"
                                      "<responses><r><dialogue><text><l>read anyway</l></text></dialogue></r></responses>"
                                      "</dialogue>");
    EXPECT_TRUE(tree.options.empty());
    ASSERT_EQ(tree.responses.size(), 1u);
    EXPECT_EQ(tree.responses[0].text, (Lines{"read anyway"}));

    EXPECT_EQ(pathErrorOf("<dialogue><text><l>hi</l></text><options/><responses><r><bad/></r></responses></dialogue>"),
              "No such node (dialogue.text)");
}

TEST(DialogueTreeTest, MissingRequiredElementsRaiseThePathError)
{
    // A root element of another name.
    EXPECT_EQ(pathErrorOf("<conversation><text><l>hi</l></text></conversation>"), "No such node (dialogue.text)");
    // A dialogue without text.
    EXPECT_EQ(pathErrorOf("<dialogue><options><o>a</o></options></dialogue>"), "No such node (dialogue.text)");
    // A response wrapper that is itself the dialogue element.
    EXPECT_EQ(pathErrorOf("<dialogue><text><l>hi</l></text><options><o>a</o></options>"
                          "<responses><dialogue><text><l>x</l></text></dialogue></responses></dialogue>"),
              "No such node (dialogue.text)");
    // A comment inside responses is a wrapper without a dialogue.
    EXPECT_EQ(pathErrorOf("<dialogue><text><l>hi</l></text><options><o>a</o></options>"
                          "<responses><!-- x --><r><dialogue><text><l>x</l></text></dialogue></r></responses>"
                          "</dialogue>"),
              "No such node (dialogue.text)");
    // A fault deep in the tree is reported by the same error.
    EXPECT_EQ(pathErrorOf("<dialogue><text><l>hi</l></text><options><o>a</o></options><responses><r>"
                          "<dialogue><text><l>x</l></text><options><o>b</o></options><responses><r/></responses>"
                          "</dialogue></r></responses></dialogue>"),
              "No such node (dialogue.text)");
}

TEST(DialogueTreeTest, FewerResponsesThanOptionsLoad)
{
    // Options without any responses element: every option leads nowhere, at
    // any depth, and the options are still read.
    const DialogueTree bare = fromXml("<dialogue><text><l>hi</l></text>"
                                      "<options><o>a</o><o>b</o><o>c</o></options></dialogue>");
    EXPECT_EQ(bare.options, (Lines{"a", "b", "c"}));
    EXPECT_TRUE(bare.responses.empty());
    const DialogueTree nested = fromXml("<dialogue><text><l>hi</l></text><options><o>a</o></options><responses><r>"
                                        "<dialogue><text><l>x</l></text><options><o>b</o></options></dialogue>"
                                        "</r></responses></dialogue>");
    ASSERT_EQ(nested.responses.size(), 1u);
    EXPECT_EQ(nested.responses[0].options, (Lines{"b"}));
    EXPECT_TRUE(nested.responses[0].responses.empty());

    const DialogueTree tree = fromXml("<dialogue><text><l>pick</l></text>"
                                      "<options><o>P</o><o>Q</o><o>R</o></options><responses>"
                                      "<r><dialogue><text><l>p</l></text></dialogue></r>"
                                      "<r><dialogue><text><l>q</l></text></dialogue></r>"
                                      "</responses></dialogue>");
    EXPECT_EQ(tree.options, (Lines{"P", "Q", "R"}));
    ASSERT_EQ(tree.responses.size(), 2u);
    EXPECT_EQ(tree.responses[1].text, (Lines{"q"}));
}

TEST(DialogueTreeTest, ReadsNestedResponsesToAnyDepth)
{
    const auto leaf = [](const std::string& line) {
        return "<r><dialogue><text><l>" + line + "</l></text></dialogue></r>";
    };
    const std::string level3 = "<r><dialogue><text><l>third</l></text><options><o>c1</o><o>c2</o></options><responses>"
                               + leaf("deep one") + leaf("deep two") + "</responses></dialogue></r>";
    const std::string level2 = "<r><dialogue><text><l>second</l></text><options><o>b1</o><o>b2</o></options><responses>"
                               + leaf("b1 end") + level3 + "</responses></dialogue></r>";
    const DialogueTree tree = fromXml("<dialogue><text><l>first</l></text><options><o>a1</o><o>a2</o></options>"
                                      "<responses>"
                                      + level2 + leaf("a2 end") + "</responses></dialogue>");

    ASSERT_EQ(tree.responses.size(), 2u);
    EXPECT_EQ(tree.responses[1].text, (Lines{"a2 end"}));
    const DialogueTree& second = tree.responses[0];
    EXPECT_EQ(second.text, (Lines{"second"}));
    ASSERT_EQ(second.responses.size(), 2u);
    EXPECT_EQ(second.responses[0].text, (Lines{"b1 end"}));
    const DialogueTree& third = second.responses[1];
    EXPECT_EQ(third.text, (Lines{"third"}));
    EXPECT_EQ(third.options, (Lines{"c1", "c2"}));
    ASSERT_EQ(third.responses.size(), 2u);
    EXPECT_EQ(third.responses[0].text, (Lines{"deep one"}));
    EXPECT_EQ(third.responses[1].text, (Lines{"deep two"}));
    EXPECT_TRUE(third.responses[1].responses.empty());
}

TEST(DialogueTreeTest, LoadReadsAFileAndNamesItInEveryError)
{
    ResourceDir dir;
    dir.write("res/txt/clerk.xml", "<dialogue>\n  <text>\n    <l>Next,\n    please.</l>\n  </text>\n</dialogue>\n");
    std::unique_ptr<DialogueTree> tree(DialogueTree::load("res/txt/clerk.xml"));
    ASSERT_TRUE(tree);
    EXPECT_EQ(tree->text, (Lines{"Next,\n    please."}));

    try {
        DialogueTree::load("res/txt/nobody.xml");
        ADD_FAILURE() << "a missing file loaded";
    } catch (const pt::xml_parser_error& e) {
        EXPECT_EQ(e.filename(), "res/txt/nobody.xml");
        EXPECT_NE(std::string(e.what()).find("res/txt/nobody.xml"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("cannot open file"), std::string::npos) << e.what();
    }

    dir.write("res/txt/broken.xml", "<dialogue>\n  <text>\n    <l>oops</l x>\n  </text>\n</dialogue>\n");
    try {
        DialogueTree::load("res/txt/broken.xml");
        ADD_FAILURE() << "malformed XML loaded";
    } catch (const pt::xml_parser_error& e) {
        EXPECT_EQ(e.filename(), "res/txt/broken.xml");
        EXPECT_EQ(e.line(), 3u);
        EXPECT_TRUE(startsWith(e.what(), "res/txt/broken.xml(3): ")) << e.what();
    }

    dir.write("res/txt/mute.xml", "<dialogue><options><o>a</o></options></dialogue>");
    try {
        DialogueTree::load("res/txt/mute.xml");
        ADD_FAILURE() << "a dialogue without text loaded";
    } catch (const pt::ptree_bad_path& e) {
        EXPECT_TRUE(startsWith(e.what(), "res/txt/mute.xml")) << e.what();
        EXPECT_TRUE(endsWith(e.what(), "No such node (dialogue.text)")) << e.what();
    }

    dir.write("res/txt/dangling.xml", "<dialogue><text><l>hi</l></text><options><o>a</o></options></dialogue>");
    std::unique_ptr<DialogueTree> dangling(DialogueTree::load("res/txt/dangling.xml"));
    EXPECT_EQ(dangling->options, (Lines{"a"}));
    EXPECT_TRUE(dangling->responses.empty());

    dir.write("res/txt/unwrapped.xml", "<dialogue><text><l>hi</l></text><options><o>a</o></options>"
                                       "<responses><r><nothing/></r></responses></dialogue>");
    try {
        DialogueTree::load("res/txt/unwrapped.xml");
        ADD_FAILURE() << "a response without a dialogue loaded";
    } catch (const pt::ptree_bad_path& e) {
        EXPECT_TRUE(startsWith(e.what(), "res/txt/unwrapped.xml")) << e.what();
        EXPECT_TRUE(endsWith(e.what(), "No such node (dialogue.text)")) << e.what();
    }
}

TEST(DialogueTreeTest, LoadNumberedReadsEachFileInOrderOrNothing)
{
    ResourceDir dir;
    for (int i = 0; i < 6; ++i)
        dir.write("res/txt/warden" + std::to_string(i) + ".xml", testing_support::leafXml("warden says " + std::to_string(i)));

    std::vector<DialogueTree*> trees = DialogueTree::loadNumbered("res/txt/warden", 6);
    ASSERT_EQ(trees.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        ASSERT_NE(trees[i], nullptr);
        EXPECT_EQ(trees[i]->text, (Lines{"warden says " + std::to_string(i)}));
    }
    for (DialogueTree* tree : trees)
        delete tree;

    // With a file missing in the middle the error names it, and the trees
    // read before it are released (the sanitizer build reports any leak).
    std::remove((dir.path() + "/res/txt/warden3.xml").c_str());
    try {
        DialogueTree::loadNumbered("res/txt/warden", 6);
        ADD_FAILURE() << "a missing warden3.xml went unnoticed";
    } catch (const pt::xml_parser_error& e) {
        EXPECT_NE(std::string(e.what()).find("res/txt/warden3.xml"), std::string::npos) << e.what();
    }

    // Likewise for a file whose content is wrong.
    dir.write("res/txt/warden3.xml", testing_support::leafXml("back again"));
    dir.write("res/txt/warden4.xml", "<dialogue><options><o>a</o></options></dialogue>");
    try {
        DialogueTree::loadNumbered("res/txt/warden", 6);
        ADD_FAILURE() << "a wrong warden4.xml went unnoticed";
    } catch (const pt::ptree_bad_path& e) {
        EXPECT_TRUE(startsWith(e.what(), "res/txt/warden4.xml")) << e.what();
    }
}

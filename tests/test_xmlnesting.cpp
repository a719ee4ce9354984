// The nesting guard of the conversation reader must see a document exactly as
// the reader does: a document the guard measures shallow must never take the
// reader deeper, whatever hides the nesting (attribute values, comments,
// CDATA, processing instructions, DOCTYPE, references).
#include "dialogueformat/DialogueTree.h"
#include "TestSupport.h"
#include "dialogueformat/XmlNesting.h"

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace pt = boost::property_tree;
using testing_support::ResourceDir;

namespace {

// The element depth of what the reader built; attributes and comments are
// children of their element, not elements.
int elementDepth(const pt::ptree& tree)
{
    int deepest = 0;
    for (const auto& child : tree) {
        if (child.first == "<xmlattr>" || child.first == "<xmlcomment>")
            continue;
        deepest = std::max(deepest, 1 + elementDepth(child.second));
    }
    return deepest;
}

// Compares the guard with the reader on one document: both accept it or both
// refuse it, and on acceptance they agree on the depth.
void expectSameView(const std::string& xml)
{
    const XmlNesting::Measure measured = XmlNesting::measure(xml, 1000);
    ASSERT_FALSE(measured.exceeded) << xml;
    std::istringstream in(xml);
    pt::ptree document;
    bool read = true;
    try {
        pt::read_xml(in, document);
    } catch (const pt::xml_parser_error&) {
        read = false;
    }
    EXPECT_EQ(measured.wellFormed, read) << xml;
    if (read) {
        EXPECT_EQ(measured.depth, elementDepth(document)) << xml;
    }
}

std::string nested(int depth)
{
    std::string xml;
    for (int i = 0; i < depth; ++i)
        xml += "<a>";
    for (int i = 0; i < depth; ++i)
        xml += "</a>";
    return xml;
}

} // namespace

TEST(XmlNestingTest, SeesWhatTheReaderSeesInTrickyDocuments)
{
    const std::vector<std::string> documents = {
        "<a><b><c/></b></a>",
        "<a/>",
        "  <a>text</a>  ",
        "\xEF\xBB\xBF<a><b/></a>",
        "<?xml version=\"1.0\"?><!-- <x><x> --><a><b/></a><!-- tail -->",
        "<a><!-- <x><y><z> --><b/></a>",
        "<a><![CDATA[<x><y></y></x>]]><b/></a>",
        "<a x='<b><c>' y=\"<!--\"><d/></a><e><f/></e><!-- -->",
        "<a x='/'><b/></a>",
        "<a x=\"-->\"><b><c/></b></a>",
        "<a x = 'v' y='&#60;&#x3C;'  ><b/></a>",
        "<?pi <!-- ?><a><b><c/></b></a>",
        "<?pi > ?><a><b/></a>",
        "<?><a/>?><b><c/></b>",
        "<?xml?><a/>",
        "<!DOCTYPE a [ <!ELEMENT a ANY> <!ENTITY e \"]>\"> ]><a><b/></a>",
        "<!DOCTYPE a [ [ ] <x> ]><a><b/></a>",
        "<!DOCTYPE a \"[\" ]><a/>",
        "<!DOCTYPE a><a><b/></a>",
        "<!DOCTYPEa><a/>",
        "<!ELEMENT <a><b>><c/>",
        "<![CDATA[x]]><a/>",
        "<a><b></a></b>",
        "<a></zzz ><b/></a>",
        "<a>&#1a;<b/></a>",
        "<a>&#x110000;<b/></a>",
        "<a>&#x10FFFF;<b/></a>",
        "<a>&#;<b/></a>",
        "<a>&#<b/></a>",
        "<a>&#99999999999999999999999999;</a>",
        "<a>&amp;&lt;<b/>&</a>",
        "<a x='&#60'/>",
        "<<a>></<a>",
        "<a\"b'c><d/></a\"b'c>",
        "<a!><b!/></a!>",
        "<a b!='1'/>",
        "<a b='1'c='2'/>",
        "<a b='1' / >",
        "<a b>",
        "<a b=1/>",
        "<a b='1/>",
        "<a><b>",
        "<a>",
        "text<a/>",
        "<a/>text",
        "</a>",
        "<>",
        "<a/ >",
        "<a\n\tb\r=\n'x'\n/>",
        std::string("<a><b/>\0<c><d><e>", 18),
        std::string("<a>\0</a>", 8),
        "<a><!-- unfinished",
        "<a><![CDATA[ unfinished",
        "<a><? unfinished",
        "<a><!DOCTYPE x [ unfinished",
        "<a><!DOCTYPE x [ ] unfinished",
        "<a><!x unfinished",
        "",
        "   ",
    };
    for (const std::string& xml : documents)
        expectSameView(xml);
}

// Every byte in every place where the grammar looks at one: names,
// attributes, values, text and references.
TEST(XmlNestingTest, AgreesWithTheReaderOnEveryCharacter)
{
    for (int c = 1; c < 256; ++c) {
        const std::string ch(1, static_cast<char>(c));
        for (const std::string& xml :
             {"<a" + ch + "b><c/></a>", "<a " + ch + "b='v'><c/></a>", "<a b" + ch + "='v'><c/></a>",
              "<a b='" + ch + "' c=\"" + ch + "\"><d/></a>", "<a>" + ch + "<b/></a>", "<a>&#" + ch + ";<b/></a>",
              "<a>&#x" + ch + ";<b/></a>", "<a></a" + ch + "><b/>", "<" + ch + "a><b/></" + ch + "a>",
              "<!" + ch + "x><a><b/></a>", "<?" + ch + "?><a><b/></a>", "<a/" + ch + "><b/>"})
            expectSameView(xml);
    }
}

TEST(XmlNestingTest, CountsEveryElementAndStopsAtTheFirstTooDeep)
{
    EXPECT_EQ(XmlNesting::measure(nested(300), 300).depth, 300);
    EXPECT_FALSE(XmlNesting::measure(nested(300), 300).exceeded);
    EXPECT_TRUE(XmlNesting::measure(nested(301), 300).exceeded);
    // An empty element is a level of its own.
    EXPECT_FALSE(XmlNesting::measure("<a><b/></a>", 2).exceeded);
    EXPECT_TRUE(XmlNesting::measure("<a><b/></a>", 1).exceeded);

    const XmlNesting::Measure m = XmlNesting::measure("<a>\n<b>\n\n<c>\n</c></b></a>", 2);
    EXPECT_TRUE(m.exceeded);
    EXPECT_EQ(m.line, 4u);
}

// The reader must never get a document that is nested deep enough to overflow
// its stack, whatever the nesting hides behind.
TEST(XmlNestingTest, DeepConversationsAreRefusedWhereverTheNestingHides)
{
    ResourceDir dir;
    const std::string deep = nested(100000);
    const std::vector<std::pair<std::string, std::string>> files = {
        {"plain", deep},
        {"attribute", "<dialogue x='<!--'><text><l>hi</l></text>" + deep + "<b y='-->'/></dialogue>"},
        {"slash", "<dialogue><text x='/'>" + deep + "</text></dialogue>"},
        {"pi", "<?pi <!-- ?>\n<dialogue>" + deep + "<!-- --></dialogue>"},
        {"doctype", "<!DOCTYPE d [ <!-- ]>\n<dialogue>" + deep + "</dialogue><!-- -->"},
        {"cdata", "<dialogue><![CDATA[ ]]>" + deep + "</dialogue>"},
    };
    for (const auto& [name, xml] : files) {
        const std::string path = "res/txt/" + name + ".xml";
        dir.write(path, xml);
        try {
            delete DialogueTree::load(path);
            ADD_FAILURE() << name << ": a conversation nested 100000 deep was read";
        } catch (const pt::xml_parser_error& e) {
            EXPECT_EQ(e.filename(), path);
            EXPECT_NE(std::string(e.what()).find("nested more than 300 deep"), std::string::npos) << e.what();
        }
    }

    // Each level of answers nests three elements (dialogue, responses, the
    // wrapper); a leaf's line is three below its wrapper. 99 levels and a
    // leaf are exactly 300 deep and are read; one level more is refused.
    const auto levels = [](int count) {
        std::string open, close;
        for (int i = 0; i < count; ++i) {
            open += "<dialogue><text><l>on</l></text><options><o>go</o></options><responses><r>";
            close = "</r></responses></dialogue>" + close;
        }
        return open + "<dialogue><text><l>end</l></text></dialogue>" + close;
    };
    dir.write("res/txt/limit.xml", levels(99));
    std::unique_ptr<DialogueTree> tree(DialogueTree::load("res/txt/limit.xml"));
    EXPECT_EQ(tree->text.at(0), "on");
    dir.write("res/txt/tall.xml", levels(100));
    EXPECT_THROW(delete DialogueTree::load("res/txt/tall.xml"), pt::xml_parser_error);
}

TEST(XmlNestingTest, ConversationsThatAreNotPlainFilesOrTooLargeAreRefusedUnopened)
{
    ResourceDir dir;
    ASSERT_EQ(mkfifo((dir.path() + "/pipe.xml").c_str(), 0600), 0);
    dir.write("res/txt/folder.xml/inside", "");
    dir.write("res/txt/huge.xml", "<dialogue><text><l>" + std::string(std::size_t(1) << 20, 'x')
                                      + "</l></text></dialogue>");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"pipe.xml", "pipe.xml: not a regular file"},
        {"res/txt/folder.xml", "res/txt/folder.xml: not a regular file"},
        {"res/txt/huge.xml", "res/txt/huge.xml: larger than 1 MiB"},
        {"res/txt/none.xml", "res/txt/none.xml: cannot open file"},
    };
    for (const auto& [path, message] : cases) {
        try {
            delete DialogueTree::load(path);
            ADD_FAILURE() << path << " was read";
        } catch (const pt::xml_parser_error& e) {
            EXPECT_EQ(std::string(e.what()), message);
        }
    }
}

// Conversation files through the game's loader, and the nesting guard checked
// against the XML reader itself: on every input both must agree whether the
// document is well formed and, when it is, how deep its elements nest. A
// disagreement is a finding even when nothing crashes, because a guard that
// sees less nesting than the reader lets a stack overflow through.
#include "FuzzTree.h"

#include "dialogueformat/DialogueTree.h"
#include "dialogueformat/XmlNesting.h"

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

namespace pt = boost::property_tree;

namespace {

FuzzTree* tree = nullptr;

// Shallow enough for any reader: the loader refuses anything deeper.
constexpr int limit = 300;

int elementDepth(const pt::ptree& node)
{
    int deepest = 0;
    for (const auto& child : node) {
        if (child.first == "<xmlattr>" || child.first == "<xmlcomment>")
            continue;
        deepest = std::max(deepest, 1 + elementDepth(child.second));
    }
    return deepest;
}

void compareWithTheReader(const std::string& xml)
{
    const XmlNesting::Measure measured = XmlNesting::measure(xml, limit);
    if (measured.exceeded)
        return;
    std::istringstream in(xml);
    pt::ptree document;
    bool read = true;
    try {
        pt::read_xml(in, document);
    } catch (const pt::xml_parser_error&) {
        read = false;
    }
    if (read != measured.wellFormed) {
        std::fprintf(stderr, "the reader %s the document, the guard thinks it %s\n",
                     read ? "accepts" : "refuses", measured.wellFormed ? "well formed" : "malformed");
        std::abort();
    }
    if (read && elementDepth(document) != measured.depth) {
        std::fprintf(stderr, "the reader nests %d deep, the guard measured %d\n", elementDepth(document),
                     measured.depth);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    tree = new FuzzTree("dialogue", argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    compareWithTheReader(std::string(reinterpret_cast<const char*>(data), size));
    tree->write("res/txt/fuzz.xml", data, size);
    try {
        delete DialogueTree::load("res/txt/fuzz.xml");
    } catch (const pt::ptree_error&) {
        // Refused with the one-line error the game prints: fine.
    }
    return 0;
}

#pragma once

#include <string>

// How deeply the conversation reader (Boost.PropertyTree's read_xml) would nest
// the elements of a document, measured without recursion before the reader
// runs. The reader descends one call per element, and so do the conversion to
// a property tree and the conversation tree built from it, so a document
// nested deep enough would exhaust the stack.
//
// The scan follows the reader's own grammar character for character: element
// names, attributes and their quoted values, character data and its
// references, comments, CDATA sections, processing instructions, the XML
// declaration and DOCTYPE with its bracketed internal subset. It stops where
// the reader would stop with a syntax error, so the reader still reports that
// error itself.
class XmlNesting {
public:
    XmlNesting() = delete;

    struct Measure {
        int depth = 0;          // the deepest element nesting seen (top-level elements are 1)
        bool exceeded = false;  // an element deeper than the limit was found
        unsigned long line = 0; // where that element opens (1-based), when exceeded
        bool wellFormed = true; // false where the reader would report a syntax error
    };

    // Scans `xml` (read up to its first NUL, as the reader does) and stops at
    // the first element nested deeper than `limit`.
    static Measure measure(const std::string& xml, int limit);
};

#include "DialogueTree.h"

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

namespace pt = boost::property_tree;

namespace {

// The XML reader descends one call per nested element, so a file nested
// absurdly deep would exhaust the stack. Such a file is refused before it is
// parsed. Real conversations nest three elements per level of answers.
constexpr int maxNesting = 300;

void refuseDeepNesting(const std::string& path, const std::string& xml)
{
    int depth = 0;
    unsigned long line = 1;
    for (std::size_t i = 0; i < xml.size(); ++i) {
        if (xml[i] == '\n')
            ++line;
        if (xml[i] != '<')
            continue;
        if (xml.compare(i, 4, "<!--") == 0) {
            const std::size_t end = xml.find("-->", i);
            if (end == std::string::npos)
                return; // the reader reports the unfinished comment
            line += static_cast<unsigned long>(std::count(xml.begin() + i, xml.begin() + end, '\n'));
            i = end + 2;
        } else if (xml.compare(i, 9, "<![CDATA[") == 0) {
            const std::size_t end = xml.find("]]>", i);
            if (end == std::string::npos)
                return;
            line += static_cast<unsigned long>(std::count(xml.begin() + i, xml.begin() + end, '\n'));
            i = end + 2;
        } else if (i + 1 < xml.size() && xml[i + 1] == '/') {
            --depth;
        } else if (i + 1 < xml.size() && xml[i + 1] != '!' && xml[i + 1] != '?') {
            const std::size_t close = xml.find('>', i);
            if (close == std::string::npos)
                return;
            if (xml[close - 1] != '/' && ++depth > maxNesting)
                throw pt::xml_parser_error("elements nested more than " + std::to_string(maxNesting)
                                               + " deep",
                                           path, line);
        }
    }
}

} // namespace

DialogueTree::DialogueTree(const pt::ptree& tree)
{
    for (const auto& line : tree.get_child("dialogue.text"))
        text.push_back(line.second.data());
    if (!tree.get_optional<std::string>("dialogue.options"))
        return;
    for (const auto& option : tree.get_child("dialogue.options"))
        options.push_back(option.second.data());
    for (const auto& wrapper : tree.get_child("dialogue.responses"))
        responses.emplace_back(wrapper.second);
}

DialogueTree* DialogueTree::load(const std::string& path)
{
    pt::ptree document;
    std::ifstream file(path, std::ios::binary);
    if (file) {
        const std::string xml((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        refuseDeepNesting(path, xml);
    }
    pt::read_xml(path, document);
    try {
        return new DialogueTree(document);
    } catch (const pt::ptree_bad_path& e) {
        throw pt::ptree_bad_path(path + ": No such node", e.path<pt::ptree::path_type>());
    }
}

std::vector<DialogueTree*> DialogueTree::loadNumbered(const std::string& prefix, int count)
{
    std::vector<std::unique_ptr<DialogueTree>> read;
    for (int i = 0; i < count; ++i) {
        std::ostringstream name;
        name << prefix << i << ".xml";
        read.emplace_back(load(name.str()));
    }
    std::vector<DialogueTree*> trees;
    for (auto& tree : read)
        trees.push_back(tree.release());
    return trees;
}

void DialogueTree::keepOwned(DialogueTree*& field, DialogueTree*& kept,
                             const std::vector<DialogueTree*>& list)
{
    if (!field || field == kept || std::find(list.begin(), list.end(), field) != list.end())
        return;
    delete kept;
    kept = field;
}

void DialogueTree::releaseList(DialogueTree*& field, DialogueTree*& kept, std::vector<DialogueTree*>& list)
{
    if (field == kept || std::find(list.begin(), list.end(), field) != list.end())
        field = nullptr;
    for (DialogueTree* tree : list)
        delete tree;
    list.clear();
    delete kept;
    kept = nullptr;
}

#include "DialogueTree.h"

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include <memory>
#include <sstream>

namespace pt = boost::property_tree;

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

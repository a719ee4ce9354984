#include "dialogueformat/DialogueTree.h"

#include "resources/ResourceFile.h"
#include "dialogueformat/XmlNesting.h"

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include <algorithm>
#include <memory>
#include <filesystem>
#include <sstream>

namespace pt = boost::property_tree;

namespace {

// The reader, the property tree and the conversation tree each descend one
// call per nested element, so a file nested absurdly deep would exhaust the
// stack: it is refused before it is parsed. Real conversations nest three
// elements per level of answers.
constexpr int maxNesting = 300;

// A conversation is a few pages of text. The reader keeps a node of a hundred
// bytes or more for every element, so a file of a few megabytes of empty
// elements would take gigabytes.
constexpr std::size_t maxBytes = std::size_t(1) << 20;

std::string readConversation(const std::string& path)
{
    std::string xml;
    try {
        xml = ResourceFile::read(path);
    } catch (const pt::xml_parser_error&) {
        throw;
    } catch (const pt::file_parser_error& e) {
        throw pt::xml_parser_error(e.message(), e.filename(), e.line());
    }
    const XmlNesting::Measure nesting = XmlNesting::measure(xml, maxNesting);
    if (nesting.exceeded)
        throw pt::xml_parser_error("elements nested more than " + std::to_string(maxNesting) + " deep",
                                   path, nesting.line);
    if (xml.size() > maxBytes)
        throw pt::xml_parser_error("larger than " + std::to_string(maxBytes >> 20) + " MiB", path, 0);
    return xml;
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
    // Options without any responses load: each is an option that leads nowhere.
    const auto wrappers = tree.get_child_optional("dialogue.responses");
    if (!wrappers)
        return;
    for (const auto& wrapper : *wrappers)
        responses.emplace_back(wrapper.second);
}

DialogueTree* DialogueTree::load(const std::string& path)
{
    std::istringstream xml(readConversation(path));
    pt::ptree document;
    try {
        pt::read_xml(xml, document);
    } catch (const pt::xml_parser_error& e) {
        throw pt::xml_parser_error(e.message(), path, e.line());
    }
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

DialogueTree* DialogueTree::loadIfPresent(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(path, error)))
        return nullptr;
    return load(path);
}

void DialogueTree::keepOwned(DialogueTree*& field, DialogueTree*& kept,
                             const std::vector<DialogueTree*>& list)
{
    if (!field || field == kept || std::find(list.begin(), list.end(), field) != list.end())
        return;
    delete kept;
    kept = field;
}

DialogueTree* DialogueTree::ownOf(DialogueTree* field, DialogueTree* kept, const std::vector<DialogueTree*>& list)
{
    if (kept)
        return kept;
    return std::find(list.begin(), list.end(), field) == list.end() ? field : nullptr;
}

void DialogueTree::borrow(DialogueTree*& field, DialogueTree* kept, const std::vector<DialogueTree*>& list,
                          DialogueTree* tree)
{
    const bool listed = tree && (tree == kept || std::find(list.begin(), list.end(), tree) != list.end());
    field = listed ? tree : nullptr;
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

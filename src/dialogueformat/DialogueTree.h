#pragma once

#include <boost/property_tree/ptree_fwd.hpp>

#include <string>
#include <vector>

// One node of a conversation: what the speaker says here, what the player can
// answer, and the node each answer leads to.
class DialogueTree {
public:
    explicit DialogueTree(const boost::property_tree::ptree& tree);

    // Reads a conversation file. Errors keep the library's exception types; a
    // missing element is reported with the file's name in front.
    static DialogueTree* load(const std::string& path);
    // Reads prefix + "0.xml" up to prefix + (count - 1) + ".xml", in that order.
    // On failure nothing read so far is kept.
    static std::vector<DialogueTree*> loadNumbered(const std::string& prefix, int count);
    // For conversations a world may do without: null when no file of that
    // name exists; a file that is there is read as load() reads it.
    static DialogueTree* loadIfPresent(const std::string& path);
    // prefix + first + ".xml" to prefix + (first + count - 1) + ".xml", each
    // null when missing.
    static std::vector<DialogueTree*> loadNumberedIfPresent(const std::string& prefix, int first, int count);

    // For characters that show conversations from a list of their own through
    // an entity's owned `dialogue` field. Before the field borrows from the
    // list, a tree the field owned (one the map gave) moves to `kept`.
    static void keepOwned(DialogueTree*& field, DialogueTree*& kept,
                          const std::vector<DialogueTree*>& list);
    // On destruction: clears the field if it borrows, then frees the list and `kept`.
    static void releaseList(DialogueTree*& field, DialogueTree*& kept, std::vector<DialogueTree*>& list);

    std::vector<std::string> options;
    std::vector<DialogueTree> responses;
    std::vector<std::string> text;
};

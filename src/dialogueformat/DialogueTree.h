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

    // For characters that show conversations from a list of their own through
    // an entity's owned `dialogue` field. Before the field borrows from the
    // list, a tree the field owned (one the map gave) moves to `kept`.
    static void keepOwned(DialogueTree*& field, DialogueTree*& kept,
                          const std::vector<DialogueTree*>& list);
    // The conversation the map gave such a character: the kept one, or the
    // field while it does not borrow from the list (before keepOwned).
    static DialogueTree* ownOf(DialogueTree* field, DialogueTree* kept, const std::vector<DialogueTree*>& list);
    // After keepOwned: the field borrows `tree` when it is from the list or
    // the kept one, and is cleared otherwise (a tree shown directly).
    static void borrow(DialogueTree*& field, DialogueTree* kept, const std::vector<DialogueTree*>& list,
                       DialogueTree* tree);
    // On destruction: clears the field if it borrows, then frees the list and `kept`.
    static void releaseList(DialogueTree*& field, DialogueTree*& kept, std::vector<DialogueTree*>& list);

    std::vector<std::string> options;
    std::vector<DialogueTree> responses;
    std::vector<std::string> text;
};

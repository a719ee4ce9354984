#include "story/CastFiles.h"

#include "dialogueformat/DialogueTree.h"

#include <memory>

namespace {

CastFiles::Files none()
{
    return {"", 0, 0, true, true};
}

} // namespace

const CastFiles::Kind CastFiles::player{"player", none(), none(), ""};
const CastFiles::Kind CastFiles::victim{"victim", none(), none(), "2"};
const CastFiles::Kind CastFiles::warden{"warden", {"warden", 0, 6, true, true}, {"wardenwait", 0, 1, false, false}, ""};
const CastFiles::Kind CastFiles::table{"table", {"table", 0, 3, true, true}, {"tabledone", 1, 3, true, false}, ""};
const CastFiles::Kind CastFiles::boss{"boss", {"boss", 0, 4, true, true}, {"bosswait", 0, 3, true, false}, ""};

std::vector<std::string> CastFiles::Files::paths() const
{
    std::vector<std::string> list;
    if (!numbered && count > 0)
        list.push_back(named(stem));
    else
        for (int i = first; i < first + count; ++i)
            list.push_back(named(stem, std::to_string(i)));
    return list;
}

std::vector<DialogueTree*> CastFiles::Files::load() const
{
    std::vector<std::unique_ptr<DialogueTree>> read;
    for (const std::string& path : paths())
        read.emplace_back(required ? DialogueTree::load(path) : DialogueTree::loadIfPresent(path));
    std::vector<DialogueTree*> trees;
    for (auto& tree : read)
        trees.push_back(tree.release());
    return trees;
}

const std::vector<const CastFiles::Kind*>& CastFiles::kinds()
{
    static const std::vector<const Kind*> all{&player, &victim, &warden, &table, &boss};
    return all;
}

const CastFiles::Kind* CastFiles::find(const std::string& type)
{
    for (const Kind* kind : kinds())
        if (kind->type == type)
            return kind;
    return nullptr;
}

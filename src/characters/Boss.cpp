#include "characters/Boss.h"

#include "audio/Audio.h"
#include "dialogueformat/DialogueTree.h"
#include "screens/EndingCard.h"
#include "core/Game.h"
#include "story/CastFiles.h"
#include "story/StoryRules.h"
#include "story/StoryState.h"

Boss::Boss(int x, int y)
    : Entity(x, y)
{
    dialogues = CastFiles::boss.conversations.load();
    reminders = CastFiles::boss.quiet.load();
}

Boss::~Boss()
{
    DialogueTree::releaseList(dialogue, mapDialogue, dialogues);
    for (DialogueTree* tree : reminders)
        delete tree;
}

void Boss::displayDialogue()
{
    DialogueTree::keepOwned(dialogue, mapDialogue, dialogues);
    StoryState story = StoryState::fromGame();
    DialogueTree* tree = opens(story, 0);
    story.toGame();
    DialogueTree::borrow(dialogue, mapDialogue, dialogues, tree);
    if (dialogue)
        Audio::play(Audio::Cue::Report);
    if (tree)
        Game::displayDialogue(tree, this);
}

DialogueTree* Boss::opens(StoryState& story, std::size_t) const
{
    // The part moves on as his conversation opens.
    const int n = StoryRules::openBoss(story, dialogues.size());
    if (n >= 0)
        return dialogues[static_cast<std::size_t>(n)];
    // Nothing due: a reminder of the task in hand.
    const int reminder = StoryRules::bossReminder(story, reminders.size());
    return reminder >= 0 ? reminders[static_cast<std::size_t>(reminder)] : nullptr;
}

bool Boss::ends(StoryState& story, std::size_t, int) const
{
    return StoryRules::storyEnds(story);
}

void Boss::setState(int result)
{
    // The end of the story: the closing card names the ending that the last
    // answer chose, and ends the game.
    StoryState story = StoryState::fromGame();
    if (ends(story, 0, result))
        EndingCard::request(result);
}

#include "characters/Boss.h"

#include "audio/Audio.h"
#include "dialogueformat/DialogueTree.h"
#include "screens/EndingCard.h"
#include "core/Game.h"
#include "story/StoryRules.h"
#include "story/StoryState.h"

Boss::Boss(int x, int y)
    : Entity(x, y)
{
    dialogues = DialogueTree::loadNumbered("res/txt/boss", 4);
    reminders = DialogueTree::loadNumberedIfPresent("res/txt/bosswait", 0, 3);
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
    // The part moves on as his conversation opens.
    StoryState story = StoryState::fromGame();
    const int n = StoryRules::openBoss(story, dialogues.size());
    dialogue = n >= 0 ? dialogues[static_cast<std::size_t>(n)] : nullptr;
    story.toGame();
    if (dialogue)
        Audio::play(Audio::Cue::Report);
    if (!dialogue) {
        // Nothing due: a reminder of the task in hand.
        const int reminder = StoryRules::bossReminder(story, reminders.size());
        if (reminder != StoryRules::noConversation && reminders[static_cast<std::size_t>(reminder)]) {
            Game::displayDialogue(reminders[static_cast<std::size_t>(reminder)], this);
            return;
        }
    }
    Entity::displayDialogue();
}

void Boss::setState(int result)
{
    // The end of the story: the closing card names the ending that the last
    // answer chose, and ends the game.
    if (StoryRules::storyEnds(StoryState::fromGame()))
        EndingCard::request(result);
}

#include "Boss.h"

#include "DialogueTree.h"
#include "EndingCard.h"
#include "Game.h"
#include "StoryRules.h"
#include "StoryState.h"

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
    const int n = Game::defacedTables;
    if (static_cast<long long>(n) == static_cast<long long>(Game::part) + 1 && n >= 0
        && static_cast<std::size_t>(n) < dialogues.size()) {
        dialogue = dialogues[static_cast<std::size_t>(n)];
        Game::part = n;
    } else {
        dialogue = nullptr;
        // Nothing due: a reminder of the task in hand.
        const int reminder = StoryRules::bossReminder(StoryState::fromGame(), reminders.size());
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
    if (Game::part == 3)
        EndingCard::request(result);
}

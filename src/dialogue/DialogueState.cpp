#include "dialogue/DialogueState.h"

#include "audio/Audio.h"
#include "dialogue/DialogueBox.h"
#include "dialogueformat/DialogueTree.h"
#include "core/Entity.h"
#include "core/Game.h"
#include "world/MainState.h"
#include "story/SaveGame.h"
#include "render/PictureDigest.h"

DialogueState::DialogueState(GameState* previous, Entity* speaker, DialogueTree const* tree)
    : previous(previous)
{
    turn = Facing::towardsPlayer(speaker, previous);
    if (MainState* world = MainState::beneath(previous))
        world->seen.log.begin(speaker ? speaker->name : std::string());
    add(new DialogueBox(tree, speaker, this));
    Audio::conversation(true);
}

void DialogueState::draw()
{
    if (previous)
        previous->draw();
    GameState::draw();
}

bool DialogueState::addToPictureDigest(PictureDigest& digest) const
{
    digest.addEntities(*this); // the box and the words on it
    for (const Entity* e : entities)
        if (auto* box = dynamic_cast<const DialogueBox*>(e))
            digest.add(box->typed); // as far as they are typed
    return true;
}

bool DialogueState::addOverStory(std::string& text) const
{
    text += "conversation:";
    for (const Entity* e : entities)
        if (auto* box = dynamic_cast<const DialogueBox*>(e)) {
            text += box->message.getString().toAnsiString();
            // A page typing itself out: how far (a page shown whole says
            // nothing more, as before pages typed themselves).
            if (!box->pageComplete())
                text += " typed " + std::to_string(box->typed);
        }
    text += '\n';
    return true;
}

bool DialogueState::addToStateDigest(std::string&) const
{
    return true; // what it stands over counts too
}

void DialogueState::logPages(DialogueTree const* node)
{
    MainState* world = MainState::beneath(previous);
    if (!world || !node)
        return;
    for (const std::string& page : node->text)
        world->seen.log.page(page);
}

void DialogueState::logAnswer(const std::string& answer)
{
    if (MainState* world = MainState::beneath(previous))
        world->seen.log.answer(answer);
}

void DialogueState::finished()
{
    Facing::back(turn);
    // The driver releases this state once its update pass has returned.
    Audio::conversation(false);
    Game::changeState(previous);
    // Back in the world: what the conversation changed in the story is saved at once.
    if (auto* world = dynamic_cast<MainState*>(previous))
        SaveGame::storyChanged(*world);
}

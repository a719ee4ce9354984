#pragma once

#include "input/Action.h"
#include "core/GameState.h"

#include <string>

// The screen where the player changes the controls: every action with its two
// keys and two gamepad inputs, and a last line that restores the defaults.
//
// Arrow keys (or the pad's d-pad and stick) choose a slot; Return (or the
// pad's south button) waits for the next key or pad input and puts it there;
// Delete or Backspace (the pad's west button) empties the slot; Escape (the
// pad's east button or Start) goes back. Those keys are fixed here, so that
// no binding can lock the player out of this screen. Every change is written
// to the settings file at once; a key already used by another action is
// refused with a note.
class ControlsScreen : public GameState {
public:
    // `previous` becomes current again when the player goes back; not owned.
    // Open it over the current state without retiring that one:
    // `Game::currentState = new ControlsScreen(Game::currentState);` going
    // back retires this screen through Game::changeState.
    explicit ControlsScreen(GameState* previous);

    void update() override;
    void draw() override;

    GameState* below() const override { return previous; }
    // The chosen slot, whether it waits for a key, the note and every slot's
    // text: the screen stands still until one of them changes.
    bool addToPictureDigest(PictureDigest& digest) const override;

    static constexpr int columns = 4;     // key, key, pad, pad
    static constexpr int defaultsRow = Actions::count; // the last line

    GameState* previous;
    int row = 0;
    int column = 0;
    bool waiting = false;     // for the key or pad input of the chosen slot
    std::string note;         // one sentence at the bottom: what happened last

    // What a slot shows: "W", "Keypad 1", "A", "D-pad up", "-" for none.
    static std::string slotText(int row, int column);
    // `text` as a sentence: a capital letter first, a full stop at the end.
    static std::string sentence(std::string text);

private:
    void capture();
    void choose();
    void clear();
    void saved(const std::string& done);
    void setNote(const std::string& text);
};

#include "screens/OverlayScreen.h"

#include "core/Game.h"
#include "input/Gamepad.h"
#include "input/Input.h"
#include "input/Keyboard.h"
#include "screens/Pointer.h"

OverlayScreen::OverlayScreen(GameState* previous)
    : previous(previous)
{
    // A click or a turn of the wheel made before it opened is not for it.
    Pointer::forget();
}

void OverlayScreen::close()
{
    Pointer::forget();
    Game::changeState(previous);
}

bool OverlayScreen::backPressed()
{
    return Keyboard::keyPressed(sf::Keyboard::Escape) || Input::pressed(Action::Pause)
           || Gamepad::pressed(PadInputs::East);
}

#include "render/StillFrame.h"

#include "core/Game.h"
#include "core/GameState.h"
#include "render/PictureDigest.h"

#include <SFML/Graphics/View.hpp>

bool StillFrame::enabled = false;
int StillFrame::safetySteps = 60;

namespace {

unsigned long long shownDigest = 0; // of the picture on screen; 0: none known
bool windowChanged = true;
long long sinceShown = 0; // steps since the last picture presented
long long stepsRun = 0;
long long counts[4] = {0, 0, 0, 0};

} // namespace

unsigned long long StillFrame::digest(unsigned long long overlay)
{
    PictureDigest h;
    const sf::View& view = Game::window.getView();
    h.add(view.getCenter().x), h.add(view.getCenter().y), h.add(view.getSize().x), h.add(view.getSize().y);
    const sf::FloatRect port = view.getViewport();
    h.add(port.left), h.add(port.top), h.add(port.width), h.add(port.height);
    h.add(Game::window.getSize().x), h.add(Game::window.getSize().y);
    h.add(overlay);
    GameState* state = Game::currentState;
    h.add(state);
    // Each screen shown, from the current one down, tells its own part.
    for (; state; state = state->below())
        if (!state->addToPictureDigest(h))
            return 0;
    return h.value == 0 ? 1 : h.value;
}

void StillFrame::stepped(int steps)
{
    if (steps > 0) {
        sinceShown += steps;
        stepsRun += steps;
    }
}

StillFrame::Reason StillFrame::due(unsigned long long now)
{
    if (windowChanged)
        return Reason::Window;
    if (!enabled || now == 0 || now != shownDigest)
        return Reason::Changed;
    if (sinceShown >= safetySteps)
        return Reason::Safety;
    return Reason::Kept;
}

void StillFrame::presented(Reason why, unsigned long long now)
{
    if (why == Reason::Kept)
        return;
    ++counts[static_cast<int>(why)];
    shownDigest = now;
    windowChanged = false;
    sinceShown = 0;
}

void StillFrame::invalidate()
{
    windowChanged = true;
}

void StillFrame::reset()
{
    shownDigest = 0;
    windowChanged = true;
    sinceShown = 0;
    stepsRun = 0;
    for (long long& c : counts)
        c = 0;
}

long long StillFrame::count(Reason why)
{
    return counts[static_cast<int>(why)];
}

long long StillFrame::presentedCount()
{
    return counts[1] + counts[2] + counts[3];
}

long long StillFrame::steps()
{
    return stepsRun;
}

std::string StillFrame::report()
{
    return "presented " + std::to_string(presentedCount()) + "\nchanged " + std::to_string(count(Reason::Changed))
        + "\nwindow " + std::to_string(count(Reason::Window)) + "\nsafety " + std::to_string(count(Reason::Safety))
        + "\nsteps " + std::to_string(stepsRun) + "\n";
}

#pragma once

#include <string>

// Standing still, the picture does not change, and the window keeps the last
// one it was given: nothing is drawn and nothing presented until something on
// screen changes. What is on screen is told by a digest of everything that
// shapes it: the screens shown and each of their entities' place, picture and
// visibility, the conversation's words, the menus' items, the goal line, the
// camera and the window's size. A screen that cannot tell (it adds nothing to
// the digest) is drawn every time.
//
// The window's own picture may be lost or changed behind the game's back (it
// was resized, covered and uncovered, refocused, made anew): invalidate() has
// the next picture drawn whatever the digest says. And at least every
// `safetySteps` steps the picture is drawn anyway.
class StillFrame {
public:
    StillFrame() = delete;

    // Off by default (the tests' frames always draw); the game's loop turns it on.
    static bool enabled;
    // The longest the game goes without presenting a picture, in steps of
    // the logic (60 a second).
    static int safetySteps;

    // Why a picture is drawn and presented now, or Kept when the window keeps
    // the one it shows.
    enum class Reason { Kept, Changed, Window, Safety };

    // The steps run since the last call (the loop runs them before deciding).
    static void stepped(int steps);
    // Whether to draw now, for a picture whose digest is `now` (0: it cannot
    // be told). When it is not Kept the picture must be drawn and presented,
    // and the caller says so with presented().
    static Reason due(unsigned long long now);
    static void presented(Reason why, unsigned long long now);
    // The next due() is Window whatever the digest says (the window was
    // resized, uncovered, refocused or made anew).
    static void invalidate();
    // Forgets what is on screen and every count (a new game's window).
    static void reset();

    // Pictures presented since the start, in all and by reason, and the steps run.
    static long long count(Reason why);
    static long long presentedCount();
    static long long steps();
    // The counts as lines "presented N", "changed N", "window N", "safety N",
    // "steps N", for a file a test reads.
    static std::string report();

    // The digest of what the current state would draw now, with `overlay`
    // (what is drawn over every screen) mixed in; 0 when it cannot be told
    // (a screen that does not add to it).
    static unsigned long long digest(unsigned long long overlay = 0);
};

#pragma once

// Standing still, the picture does not change: instead of drawing the world
// again, the window shows the picture it kept from the last drawing (one copy
// of the window's pixels instead of hundreds of sprites). What is on screen
// is told by a digest of everything that shapes it: the screens shown and
// each of their entities' place, picture and visibility, the conversation's
// words, the goal line, the camera and the window's size. A screen of a kind
// it does not know is always drawn.
class StillFrame {
public:
    StillFrame() = delete;

    // Off by default (the tests' frames always draw); the game's loop turns it on.
    static bool enabled;

    // Draws the current state into the window, or the kept picture when
    // nothing on screen changed since it was kept.
    static void draw();
    // The next draw() draws the world whatever the digest says (the window
    // was resized, uncovered, refocused or made anew).
    static void invalidate();

    // Pictures drawn in full and pictures reused, since the start.
    static long long drawn;
    static long long reused;

    // The digest of what the current state would draw now; 0 when it cannot
    // be told (a screen of a kind this does not know).
    static unsigned long long digest();
};

#pragma once

namespace sf {
class RenderTarget;
class RenderWindow;
}

// The world's pixels at a scale that is not a whole number. Drawn straight
// into the window at 1.6x, some picture pixels would be one window pixel wide
// and their neighbours two. Instead the sprites are drawn off-screen at the
// next whole scale up, where every pixel is the same square, and that picture
// is smoothed down to the window: each pixel keeps its size to within one
// blended window pixel at its edges. (Drawing at the whole scale below and
// smoothing up would blur every edge over up to two pixels; down, the
// off-screen picture is never smaller than the one shown.)
//
// Off-screen drawing is only done while a picture is drawn (StillFrame
// decides when one is due): nothing is kept between pictures. What is drawn
// over the sprites (panels, text) goes straight into the window, so the
// off-screen picture is put into the window before anything else is drawn:
// compose().
class PictureLayer {
public:
    PictureLayer() = delete;

    // Where sprites for `window`'s current view go: the off-screen picture,
    // made ready with that view, or nullptr when the view's scale is whole
    // (drawn straight into the window).
    static sf::RenderTarget* target(sf::RenderWindow& window);
    // Puts what was drawn off-screen into the window, smoothed to the view's
    // viewport, and clears it; nothing when nothing waits.
    static void compose(sf::RenderWindow& window);
    // The whole scale the off-screen picture is drawn at for a view shown at
    // `scale` window pixels per picture pixel, at most `largest`; 0 when
    // `scale` is whole (nothing off-screen).
    static unsigned wholeAbove(float scale, unsigned largest);
};

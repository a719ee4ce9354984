// Plays the game's window with real key events and watches its picture, so
// that the end-to-end tests pace themselves on what the game shows instead of
// on fixed sleeps.
//
// Every frame the game shows is one damage report on its window (the X Damage
// extension); after each report the picture is read back (XGetImage). So the
// helper knows how many frames have passed and what each one showed, on an
// idle machine and on a busy one alike (through shared memory, a picture is
// read in well under a millisecond). Keys are sent with XTest to whatever
// window has the focus.
//
//   xplay WINDOW COMMAND...     runs the commands in order
//   xplay WINDOW -              reads the commands from standard input, one a line
//   xplay decoy                 opens a small window of its own, takes the focus
//                               and stays until it is killed (prints its id)
//
// Commands (KEY is an X key name: Left, Return, space, 1, KP_1, F11, or a chord
// such as Alt_L+Return):
//   step KEY         a tap: one tile's walk, or a turn towards something solid
//   walk KEY N       N tiles the same way: the key held for most of the way and
//                    let go early enough for how far behind this program runs,
//                    the last tiles tapped one by one; every part is counted by
//                    comparing the still pictures before and after it, and a
//                    tile too many (a very slow machine) is walked back
//   press KEY        a tap, then wait until the picture is still
//   hold KEY N       hold KEY for N frames, let go, wait until still
//   down KEY, up KEY press or let go, without waiting
//   settle           wait until the picture is still
//   frames N         wait until N more frames have been shown
//   pixel X Y        print the colour at window pixel (X, Y): srgb(R,G,B)
//   save FILE        write the window's picture to FILE (PPM)
//   size             print the window's size: WIDTHxHEIGHT
//   play FILE PREFIX a route: lines "step KEY", "press KEY" and "# note";
//                    steps the same way in a row become one walk; at each note
//                    prints it and saves PREFIX-<n>.ppm (PREFIX "-": no pictures)
//
// "Still" means three frames in a row without a change, all after the frame
// that took the key: the game moves nothing by itself, and between two tiles
// of a walk it pauses for only two frames.
//
// When the window goes away (the game ended), the command in progress and the
// rest are skipped, "gone" is printed and the exit status is 0; the caller
// checks how the game ended. Other failures print one line and exit 1.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>

#include <poll.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The game's picture and how it walks.
constexpr int pictureWidth = 640;
constexpr int pictureHeight = 480;
constexpr int tile = 32;       // world pixels a step
constexpr int stillFrames = 3; // a walk pauses two frames between tiles
constexpr double goalLineHeight = 20; // the strip over the top of the picture
// The strip and the room's name under it, which stand still while the map scrolls.
constexpr double overlayHeight = goalLineHeight + 6 + 28 + 2;
constexpr double frameTimeout = 60; // seconds without any frame: the game hangs

Display* display = nullptr;
Window window = 0;
int damageEvent = 0;
bool gone = false;
std::vector<KeyCode> held; // keys this program holds down

struct Gone {};

[[noreturn]] void fail(const std::string& what)
{
    for (KeyCode code : held)
        XTestFakeKeyEvent(display, code, False, 0);
    if (display)
        XSync(display, False);
    std::cerr << "xplay: " << what << std::endl;
    std::exit(1);
}

int onXError(Display*, XErrorEvent* error)
{
    // The window went away under us (the game ended or made a new window).
    if (error->error_code == BadWindow || error->error_code == BadDrawable || error->error_code == BadMatch)
        gone = true;
    return 0;
}

std::vector<KeyCode> chord(const std::string& name)
{
    std::vector<KeyCode> codes;
    std::stringstream parts(name);
    std::string part;
    while (std::getline(parts, part, '+')) {
        const KeySym sym = XStringToKeysym(part.c_str());
        const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(display, sym);
        if (code == 0)
            fail("unknown key " + part);
        codes.push_back(code);
    }
    return codes;
}

void keys(const std::vector<KeyCode>& codes, bool down)
{
    if (down) {
        for (KeyCode code : codes) {
            XTestFakeKeyEvent(display, code, True, 0);
            held.push_back(code);
        }
    } else {
        for (auto it = codes.rbegin(); it != codes.rend(); ++it) {
            XTestFakeKeyEvent(display, *it, False, 0);
            held.erase(std::remove(held.begin(), held.end(), *it), held.end());
        }
    }
    XSync(display, False);
}

// Where the picture lies in the window, as the game places it.
struct Place {
    int left = 0, top = 0, width = 0, height = 0;
    double scale = 1;
};

Place placeIn(int w, int h)
{
    Place p;
    if (w <= 0 || h <= 0)
        return p;
    const double fit = std::min(double(w) / pictureWidth, double(h) / pictureHeight);
    p.scale = fit >= 1 ? std::floor(fit) : fit;
    p.width = std::min(w, int(std::lround(pictureWidth * p.scale)));
    p.height = std::min(h, int(std::lround(pictureHeight * p.scale)));
    p.left = (w - p.width) / 2;
    p.top = (h - p.height) / 2;
    return p;
}

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels; // 0x00RRGGBB
    long frames = 0;                   // frames shown up to this picture
    bool operator==(const Picture& o) const { return width == o.width && height == o.height && pixels == o.pixels; }
};

// Follows the window's frames. Each damage report carries the number of the
// last request of ours that the server had handled: the reports older than a
// picture's read-back request are the frames that picture shows.
class Watcher {
public:
    long frames = 0;  // frames counted into pictures
    long pending = 0; // frames shown since the last picture

    void start()
    {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, window, &attributes) || gone)
            throw Gone();
        width = attributes.width;
        height = attributes.height;
        XSelectInput(display, window, StructureNotifyMask);
        int error = 0;
        if (!XDamageQueryExtension(display, &damageEvent, &error))
            fail("the X server has no Damage extension");
        XDamageCreate(display, window, XDamageReportRawRectangles);
        XSync(display, False);
        if (gone)
            throw Gone();
    }

    // Reads the picture now; it becomes `last`.
    const Picture& grab()
    {
        XImage* image = nullptr;
        const bool shared = shareImage();
        const unsigned long request = NextRequest(display);
        if (shared)
            image = XShmGetImage(display, window, sharedImage, 0, 0, AllPlanes) ? sharedImage : nullptr;
        else
            image = XGetImage(display, window, 0, 0, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
        frames += pending;
        pending = 0;
        take(request);
        if (!image || gone) {
            if (image && !shared)
                XDestroyImage(image);
            throw Gone();
        }
        Picture p;
        p.width = width;
        p.height = height;
        p.frames = frames;
        p.pixels.resize(std::size_t(width) * height);
        const bool plain = image->bits_per_pixel == 32 && image->byte_order == LSBFirst
                           && image->red_mask == 0xff0000 && image->green_mask == 0xff00 && image->blue_mask == 0xff;
        const int rs = shift(image->red_mask), gs = shift(image->green_mask), bs = shift(image->blue_mask);
        for (int y = 0; y < height; ++y) {
            std::uint32_t* row = &p.pixels[std::size_t(y) * width];
            if (plain) { // the usual 24-bit screen: copy the row
                std::memcpy(row, image->data + std::size_t(y) * image->bytes_per_line, std::size_t(width) * 4);
                for (int x = 0; x < width; ++x)
                    row[x] &= 0xffffff;
                continue;
            }
            for (int x = 0; x < width; ++x) {
                const unsigned long v = XGetPixel(image, x, y);
                row[x] = std::uint32_t(((v & image->red_mask) >> rs) << 16 | ((v & image->green_mask) >> gs) << 8
                                       | ((v & image->blue_mask) >> bs));
            }
        }
        if (!shared)
            XDestroyImage(image);
        last = std::move(p);
        return last;
    }

    // One pixel of the window now (nothing else is read).
    std::uint32_t pixel(int x, int y)
    {
        XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
        take(0);
        if (!image || gone)
            throw Gone();
        const unsigned long v = XGetPixel(image, 0, 0);
        const std::uint32_t rgb = std::uint32_t(((v & image->red_mask) >> shift(image->red_mask)) << 16
                                                | ((v & image->green_mask) >> shift(image->green_mask)) << 8
                                                | ((v & image->blue_mask) >> shift(image->blue_mask)));
        XDestroyImage(image);
        return rgb;
    }

    // Waits for the next frame and reads the picture it shows.
    const Picture& next()
    {
        const auto began = Clock::now();
        while (pending == 0) {
            if (XPending(display) == 0) {
                pollfd fd{ConnectionNumber(display), POLLIN, 0};
                poll(&fd, 1, 200);
            }
            take(0);
            if (std::chrono::duration<double>(Clock::now() - began).count() > frameTimeout)
                fail("the game showed no new frame for " + std::to_string(int(frameTimeout)) + " s");
        }
        return grab();
    }

    Picture last; // the picture read last
    int width = 0, height = 0;

    void stop()
    {
        if (sharedImage) {
            XShmDetach(display, &segment);
            XDestroyImage(sharedImage);
            shmdt(segment.shmaddr);
            sharedImage = nullptr;
        }
    }

private:
    // Pictures come through shared memory where the server offers it: a
    // large window read through the socket can take longer than a frame.
    XImage* sharedImage = nullptr;
    XShmSegmentInfo segment{};
    bool noSharing = false;

    bool shareImage()
    {
        if (noSharing)
            return false;
        if (sharedImage && sharedImage->width == width && sharedImage->height == height)
            return true;
        stop();
        XWindowAttributes attributes;
        if (!XShmQueryExtension(display) || !XGetWindowAttributes(display, window, &attributes)) {
            noSharing = true;
            return false;
        }
        sharedImage = XShmCreateImage(display, attributes.visual, unsigned(attributes.depth), ZPixmap, nullptr,
                                      &segment, unsigned(width), unsigned(height));
        if (!sharedImage) {
            noSharing = true;
            return false;
        }
        segment.shmid = shmget(IPC_PRIVATE, std::size_t(sharedImage->bytes_per_line) * sharedImage->height, IPC_CREAT | 0600);
        segment.shmaddr = sharedImage->data = segment.shmid < 0 ? nullptr : static_cast<char*>(shmat(segment.shmid, nullptr, 0));
        segment.readOnly = False;
        if (!segment.shmaddr || segment.shmaddr == reinterpret_cast<char*>(-1) || !XShmAttach(display, &segment)) {
            sharedImage->data = nullptr;
            XDestroyImage(sharedImage);
            sharedImage = nullptr;
            noSharing = true;
            return false;
        }
        XSync(display, False);
        shmctl(segment.shmid, IPC_RMID, nullptr); // freed when this program ends
        return true;
    }

    static int shift(unsigned long mask)
    {
        int s = 0;
        while (mask && !(mask & 1)) {
            mask >>= 1;
            ++s;
        }
        return s;
    }

    // Takes the queued events; damage older than `request` counts as frames
    // of the picture read by it (0: no picture is being read).
    void take(unsigned long request)
    {
        while (XEventsQueued(display, QueuedAfterReading) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == damageEvent + XDamageNotify) {
                if (request != 0 && event.xany.serial < request)
                    ++frames;
                else
                    ++pending;
            } else if (event.type == DestroyNotify && event.xdestroywindow.window == window) {
                gone = true;
            } else if (event.type == ConfigureNotify && event.xconfigure.window == window) {
                width = event.xconfigure.width;
                height = event.xconfigure.height;
            }
        }
        if (gone)
            throw Gone();
    }
};

Watcher watcher;

// Waits until the picture has been still for three frames, all shown after
// frame `after`.
void settle(long after)
{
    int still = 0;
    Picture before = watcher.last.pixels.empty() ? watcher.grab() : watcher.last;
    for (int guard = 0; guard < 100000; ++guard) {
        Picture now = watcher.next();
        if (now == before)
            still += int(now.frames - before.frames);
        else
            still = 0;
        before = std::move(now);
        if (still >= stillFrames && before.frames >= after + stillFrames)
            return;
    }
    fail("the picture never became still");
}

// A tap or a chord: pressed and let go at once. The game takes it from its
// key events, so no frame needs to see it held.
void press(const std::string& key)
{
    const std::vector<KeyCode> codes = chord(key);
    keys(codes, true);
    keys(codes, false);
    // A frame that began before the key arrived may miss it; the next one takes it.
    settle(watcher.grab().frames + 2);
}

void hold(const std::string& key, long frames)
{
    const std::vector<KeyCode> codes = chord(key);
    keys(codes, true);
    const long from = watcher.grab().frames;
    while (watcher.next().frames < from + frames) {
    }
    keys(codes, false);
    settle(watcher.grab().frames + 2);
}

struct Direction {
    int dx = 0, dy = 0;
};

Direction directionOf(const std::string& key)
{
    if (key == "Left" || key == "a")
        return {-1, 0};
    if (key == "Right" || key == "d")
        return {1, 0};
    if (key == "Up" || key == "w")
        return {0, -1};
    if (key == "Down" || key == "s")
        return {0, 1};
    fail("not a direction: " + key);
}

std::string opposite(const std::string& key)
{
    if (key == "Left")
        return "Right";
    if (key == "Right")
        return "Left";
    if (key == "Up")
        return "Down";
    if (key == "Down")
        return "Up";
    if (key == "a")
        return "d";
    if (key == "d")
        return "a";
    if (key == "w")
        return "s";
    return "w";
}

// The player's sprite in the middle of the picture, with a pixel to spare:
// it changes as the player turns and steps, so pictures are compared around it.
struct PlayerBox {
    int x0, x1, y0, y1;
    explicit PlayerBox(const Place& place)
        : x0(place.left + int((pictureWidth / 2 - tile / 2) * place.scale) - 1),
          x1(place.left + int((pictureWidth / 2 + tile / 2) * place.scale) + 1),
          y0(place.top + int((pictureHeight / 2 - tile / 2) * place.scale) - 1),
          y1(place.top + int((pictureHeight / 2 + tile / 2) * place.scale) + 1)
    {
    }
    bool operator()(int x, int y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
};

// How far the camera moved between two pictures, in window pixels along the
// walk: the world scrolls the other way, the player stays in the middle.
// Tries every whole step of two world pixels that the frames between them
// allow, and takes the first that matches everywhere but on the player
// (or, failing that, the closest).
int scrolled(const Picture& a, const Picture& b, Direction d)
{
    if (a.width != b.width || a.height != b.height)
        return 0;
    const Place place = placeIn(a.width, a.height);
    const int steps = int(std::min<long>(std::max<long>(b.frames - a.frames, 1), 40));
    const PlayerBox onPlayer(place);

    long best = -1;
    int bestShift = 0;
    for (int k = 0; k <= steps; ++k) {
        const int shift = int(std::lround(2 * k * place.scale));
        const int sx = d.dx * shift, sy = d.dy * shift;
        long mismatches = 0;
        for (int y = place.top; y < place.top + place.height && (best < 0 || mismatches < best); ++y) {
            const int ay = y + sy;
            if (ay < place.top || ay >= place.top + place.height)
                continue;
            for (int x = place.left; x < place.left + place.width; ++x) {
                const int ax = x + sx;
                if (ax < place.left || ax >= place.left + place.width || onPlayer(x, y) || onPlayer(ax, ay))
                    continue;
                if (b.pixels[std::size_t(y) * b.width + x] != a.pixels[std::size_t(ay) * a.width + ax])
                    ++mismatches;
            }
        }
        if (best < 0 || mismatches < best) {
            best = mismatches;
            bestShift = shift;
        }
        if (mismatches == 0)
            break;
    }
    return bestShift;
}

// Of the whole-tile shifts 0..most along d, the one under which still picture
// b is still picture a scrolled: the smallest share of differing pixels, away
// from the player and from the goal line and the room's name over the top
// (which do not scroll). Between equally good shifts (a floor that repeats tile by tile),
// the one nearest `guess`. A true match leaves nothing differing; `share`
// tells how much did.
struct Measured {
    int tiles = 0;
    double share = 1;
};

Measured tilesBetween(const Picture& a, const Picture& b, Direction d, int most, int guess)
{
    if (a.width != b.width || a.height != b.height)
        return {guess, 1};
    const Place place = placeIn(a.width, a.height);
    const PlayerBox onPlayer(place);
    const int top = place.top + int(std::ceil(overlayHeight * place.scale));

    double best = 2;
    int bestTiles = 0;
    for (int k = 0; k <= most; ++k) {
        const int shift = int(std::lround(tile * k * place.scale));
        const int sx = d.dx * shift, sy = d.dy * shift;
        long compared = 0, differing = 0;
        for (int y = top; y < place.top + place.height; ++y) {
            const int ay = y + sy;
            if (ay < top || ay >= place.top + place.height)
                continue;
            for (int x = place.left; x < place.left + place.width; ++x) {
                const int ax = x + sx;
                if (ax < place.left || ax >= place.left + place.width || onPlayer(x, y) || onPlayer(ax, ay))
                    continue;
                ++compared;
                if (b.pixels[std::size_t(y) * b.width + x] != a.pixels[std::size_t(ay) * a.width + ax])
                    ++differing;
            }
        }
        if (compared == 0)
            break;
        const double share = double(differing) / double(compared);
        if (share < best - 1e-9 || (share < best + 1e-9 && std::abs(k - guess) < std::abs(bestTiles - guess))) {
            best = share;
            bestTiles = k;
        }
    }
    return {bestTiles, best};
}

// A match leaves no pixel differing; this much is not a match at all.
constexpr double noMatch = 0.02;

// How many tiles a still picture can tell apart along d: the pictures before
// and after a walk must share a row or column of tiles.
int tilesInSight(Direction d)
{
    return (d.dx != 0 ? pictureWidth : pictureHeight - int(overlayHeight)) / tile - 1;
}

// The most frames the game showed between two pictures read in the last
// walk: how far behind this program was, which is how late it lets go.
long lag = 20;

// Holds the key until the n-th tile has begun (or the player stands still with
// the key held: something solid), lets go, waits until the picture is still
// and counts the tiles walked by comparing it with the picture before.
int holdWalk(const std::string& key, int n)
{
    const Direction d = directionOf(key);
    const std::vector<KeyCode> codes = chord(key);
    const Picture start = watcher.grab();
    Picture before = start;
    keys(codes, true);
    Picture now = watcher.grab();
    const long pressedAt = now.frames;
    const double tilePixels = tile * placeIn(now.width, now.height).scale;
    long moved = 0;
    long lastMotion = pressedAt;
    long widest = 0;
    for (int guard = 0;; ++guard) {
        widest = std::max(widest, now.frames - before.frames);
        if (!(now == before)) {
            const int shift = scrolled(before, now, d);
            if (shift > 0) {
                moved += shift;
                lastMotion = now.frames;
            }
        }
        before = std::move(now);
        if (moved > tilePixels * (n - 1))
            break; // the last tile has begun: it finishes by itself
        if (before.frames - lastMotion >= 5)
            break; // a walk pauses two frames between tiles, never five: something solid
        if (guard > 40 * n + 100)
            fail("walking " + key + " never ended");
        now = watcher.next();
    }
    keys(codes, false);
    const long letGo = watcher.grab().frames;
    int still = 0;
    for (int guard = 0; guard < 100000; ++guard) {
        now = watcher.next();
        widest = std::max(widest, now.frames - before.frames);
        if (now == before) {
            still += int(now.frames - before.frames);
        } else {
            still = 0;
            moved += scrolled(before, now, d);
        }
        before = std::move(now);
        if (still >= stillFrames && before.frames >= letGo + 2 + stillFrames)
            break;
    }
    lag = std::max(widest, lag / 2);
    const int guess = int(std::lround(moved / tilePixels));
    const Measured m = tilesBetween(start, before, d, tilesInSight(d), guess);
    if (std::getenv("XPLAY_TRACE"))
        std::cerr << "xplay: held " << key << " for " << n << ": frames " << pressedAt << ".." << letGo << ", still at "
                  << before.frames << ", " << m.tiles << " tile(s) (the frames said " << guess << "), widest gap "
                  << widest << " frames" << std::endl;
    if (m.share > noMatch) {
        // Out of sight of the picture before: only the frames can tell.
        std::cerr << "xplay: the pictures before and after walking " << key << " do not match; the frames say "
                  << guess << " tile(s)" << std::endl;
        return guess;
    }
    return m.tiles;
}

// A tap: one tile's walk, or a turn towards something solid. Says whether the
// player walked.
bool tapWalk(const std::string& key)
{
    const Direction d = directionOf(key);
    const Picture start = watcher.grab();
    press(key);
    const Measured m = tilesBetween(start, watcher.last, d, 1, 1);
    if (std::getenv("XPLAY_TRACE"))
        std::cerr << "xplay: tapped " << key << ": " << (m.tiles == 1 ? "walked" : "turned") << std::endl;
    if (m.share > noMatch)
        fail("after tapping " + key + " the picture is neither the one before nor that one a tile further");
    return m.tiles == 1;
}

// N tiles the same way (fewer if something solid is in the way: the rest are
// turns towards it, as in the game). The key is held for most of the way and
// let go early enough that a late let-go cannot overshoot; the last tiles are
// taps, each one counted. Returns false when the player ended up facing the
// other way (a walk back after an overshoot after all).
bool walk(const std::string& key, int n)
{
    const Direction d = directionOf(key);
    int done = 0;
    for (;;) {
        // Tiles the game may walk on before a late let-go reaches it, and one more.
        const int margin = 2 + int(lag / (tile / 2 + 2));
        const int chunk = std::min(n - done - margin, tilesInSight(d) - 2 * margin);
        if (chunk < 1)
            break;
        const int tiles = holdWalk(key, chunk);
        done += tiles;
        if (tiles < chunk)
            break; // something in the way, or only let go in time: the taps tell
    }
    while (done < n) {
        if (!tapWalk(key))
            return true; // something solid: the rest are turns towards it
        ++done;
    }
    if (done == n)
        return true;
    std::cerr << "xplay: walked " << done - n << " tile(s) " << key << " too many; walking back" << std::endl;
    for (; done > n; --done) {
        if (!tapWalk(opposite(key)))
            fail("cannot walk back " + opposite(key) + " after walking " + key + " too far");
    }
    return false;
}

// Turns the player back towards KEY after a walk back, where the route asks
// for something that needs the player to face that way: the way must be
// blocked there (it is where the walk stopped), so the tap only turns.
void faceAgain(const std::string& key)
{
    if (tapWalk(key))
        fail("turning " + key + " again after walking back walked instead");
}

void save(const Picture& p, const std::string& file)
{
    std::ofstream out(file, std::ios::binary);
    out << "P6\n" << p.width << ' ' << p.height << "\n255\n";
    for (std::uint32_t v : p.pixels) {
        const char rgb[3] = {char(v >> 16), char(v >> 8), char(v)};
        out.write(rgb, 3);
    }
    if (!out)
        fail("cannot write " + file);
}

long number(const std::string& text)
{
    char* end = nullptr;
    const long n = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || n < 0)
        fail("not a number: " + text);
    return n;
}

// Plays the lines of a route, counting what it did.
struct Played {
    int stage = 0, walks = 0, presses = 0;
};

void playLines(const std::vector<std::string>& lines, const std::string& prefix, Played& played)
{
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.rfind("# ", 0) == 0) {
            ++played.stage;
            std::cout << "stage " << played.stage << ": " << line.substr(2) << std::endl;
            if (!prefix.empty())
                save(watcher.grab(), prefix + "-" + std::to_string(played.stage) + ".ppm");
        } else if (line.rfind("step ", 0) == 0) {
            int n = 1;
            while (i + 1 < lines.size() && lines[i + 1] == line) {
                ++n;
                ++i;
            }
            const std::string key = line.substr(5);
            if (!walk(key, n) && i + 1 < lines.size() && lines[i + 1].rfind("press ", 0) == 0)
                faceAgain(key); // what comes next is done facing that way
            ++played.walks;
        } else if (line.rfind("press ", 0) == 0) {
            press(line.substr(6));
            ++played.presses;
        } else if (!line.empty()) {
            fail("cannot play: " + line);
        }
    }
}

void play(const std::string& file, const std::string& prefix)
{
    std::ifstream route(file);
    if (!route)
        fail("cannot read " + file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(route, line);)
        lines.push_back(line);
    Played played;
    const auto began = Clock::now();
    auto summary = [&] {
        std::cout << "played " << played.walks << " walks and " << played.presses << " presses in "
                  << std::lround(std::chrono::duration<double>(Clock::now() - began).count()) << " s" << std::endl;
    };
    try {
        playLines(lines, prefix, played);
    } catch (const Gone&) {
        summary(); // the last key of a route may end the game
        throw;
    }
    summary();
}

// Runs one command from words[at...]; returns the index after it.
std::size_t run(const std::vector<std::string>& words, std::size_t at)
{
    auto arg = [&](std::size_t i) -> const std::string& {
        if (at + i >= words.size())
            fail("missing argument to " + words[at]);
        return words[at + i];
    };
    const std::string& command = words[at];
    if (command == "step") {
        walk(arg(1), 1);
        return at + 2;
    }
    if (command == "walk") {
        walk(arg(1), int(number(arg(2))));
        return at + 3;
    }
    if (command == "press") {
        press(arg(1));
        return at + 2;
    }
    if (command == "hold") {
        hold(arg(1), number(arg(2)));
        return at + 3;
    }
    if (command == "down" || command == "up") {
        keys(chord(arg(1)), command == "down");
        return at + 2;
    }
    if (command == "settle") {
        settle(watcher.grab().frames);
        return at + 1;
    }
    if (command == "frames") {
        const long until = watcher.grab().frames + number(arg(1));
        while (watcher.next().frames < until) {
        }
        return at + 2;
    }
    if (command == "pixel") {
        const long x = number(arg(1)), y = number(arg(2));
        if (x >= watcher.width || y >= watcher.height)
            fail("pixel outside the window");
        const std::uint32_t v = watcher.pixel(int(x), int(y));
        std::cout << "srgb(" << (v >> 16 & 255) << ',' << (v >> 8 & 255) << ',' << (v & 255) << ')' << std::endl;
        return at + 3;
    }
    if (command == "save") {
        save(watcher.grab(), arg(1));
        return at + 2;
    }
    if (command == "size") {
        std::cout << watcher.width << 'x' << watcher.height << std::endl;
        return at + 1;
    }
    if (command == "play") {
        play(arg(1), arg(2) == "-" ? std::string() : arg(2));
        return at + 3;
    }
    fail("unknown command " + command);
}

// A small window that takes the keyboard away from the game.
int decoy()
{
    const int screen = DefaultScreen(display);
    const Window w = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, 120, 80, 0,
                                         BlackPixel(display, screen), WhitePixel(display, screen));
    XStoreName(display, w, "decoy");
    XSelectInput(display, w, StructureNotifyMask | KeyPressMask);
    XMapRaised(display, w);
    for (XEvent event; XNextEvent(display, &event), event.type != MapNotify;) {
    }
    XSetInputFocus(display, w, RevertToParent, CurrentTime);
    XSync(display, False);
    std::cout << w << std::endl;
    // Swallows the keys it is sent; ends with the display.
    for (XEvent event;;)
        XNextEvent(display, &event);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "usage: xplay WINDOW COMMAND... | xplay WINDOW - | xplay decoy" << std::endl;
        return 2;
    }
    display = XOpenDisplay(nullptr);
    if (!display)
        fail("cannot open the display");
    XSetErrorHandler(onXError);
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display, &event, &error, &major, &minor))
        fail("the X server has no XTest extension");
    if (std::string(argv[1]) == "decoy")
        return decoy();

    window = Window(std::strtoul(argv[1], nullptr, 0));
    std::vector<std::string> words(argv + 2, argv + argc);
    if (words.size() == 1 && words[0] == "-") {
        words.clear();
        for (std::string line; std::getline(std::cin, line);) {
            std::istringstream in(line);
            for (std::string word; in >> word;)
                words.push_back(word);
        }
    }
    try {
        watcher.start();
        for (std::size_t at = 0; at < words.size();)
            at = run(words, at);
    } catch (const Gone&) {
        for (KeyCode code : held)
            XTestFakeKeyEvent(display, code, False, 0);
        XSync(display, False);
        std::cout << "gone" << std::endl;
    }
    watcher.stop();
    XCloseDisplay(display);
    return 0;
}

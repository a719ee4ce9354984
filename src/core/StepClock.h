#pragma once

#include <functional>

// The game's pace: its logic runs in steps of 1/60 s of wall time, however
// fast or slow frames are drawn. When a frame comes late, the steps it missed
// run one after another before the next picture, up to maxSteps; beyond that
// the backlog is dropped and the game slows down rather than spending ever
// longer catching up.
class StepClock {
public:
    using Micros = long long;
    static constexpr int stepsPerSecond = 60;
    static constexpr int maxSteps = 4;

    // `now` gives the time in microseconds from any fixed start; by default
    // the steady clock. The first step is due at once.
    explicit StepClock(std::function<Micros()> now = steadyNow);

    // The steps due now (0 to maxSteps), which count as run.
    int due();
    // Sleeps until at least one step is due, then returns the steps due.
    int wait();
    // Microseconds until the next step is due (0 when one is due).
    Micros untilNext() const;

    static Micros steadyNow();

private:
    // The start of step n, counted from `origin`.
    static Micros startOf(long long n);

    std::function<Micros()> now;
    Micros origin;
    long long done = 0; // steps run or dropped since `origin`
};

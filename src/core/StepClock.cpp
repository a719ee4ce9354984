#include "core/StepClock.h"

#include <chrono>
#include <thread>

StepClock::StepClock(std::function<Micros()> now)
    : now(std::move(now))
    , origin(this->now())
{
}

StepClock::Micros StepClock::steadyNow()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

StepClock::Micros StepClock::startOf(long long n)
{
    // Exact sixtieths of a second: no drift however long the game runs.
    return n * 1000000 / stepsPerSecond;
}

int StepClock::due()
{
    const Micros elapsed = now() - origin;
    if (elapsed < 0)
        return 0;
    // Steps 0 .. reached - 1 have started by now.
    const long long reached = elapsed * stepsPerSecond / 1000000 + 1;
    if (reached <= done)
        return 0;
    const long long behind = reached - done;
    done = reached; // what is beyond maxSteps is dropped
    return behind > maxSteps ? maxSteps : static_cast<int>(behind);
}

StepClock::Micros StepClock::untilNext() const
{
    const Micros left = startOf(done) - (now() - origin);
    return left > 0 ? left : 0;
}

int StepClock::wait()
{
    for (;;) {
        const int steps = due();
        if (steps > 0)
            return steps;
        std::this_thread::sleep_for(std::chrono::microseconds(untilNext()));
    }
}

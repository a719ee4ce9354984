#pragma once

#include "replay/Recording.h"

#include <fstream>
#include <string>

// Where each step's input comes from, and where it goes: the keyboard and the
// gamepad (and, with --record, a recording file written as the game goes), or
// a recording played back (--replay), which then decides how many steps the
// game runs.
class Session {
public:
    Session() = delete;

    enum class Mode { Play, Record, Replay };
    static Mode mode;

    // Starts writing the input of every step to `file`, for the world in the
    // current folder and the text speed in force. Throws std::runtime_error (one line) when it cannot.
    static void record(const std::string& file);
    // Loads `file` to be played back. Throws std::runtime_error (one line)
    // when it is unreadable, malformed, or made with another version of the
    // game or on another world. Sets the text speed the recording was made
    // with (instant when it names none).
    static void replay(const std::string& file);

    // Takes the input of the next step into the keyboard's and the gamepad's
    // snapshots: from the devices (noting it when recording) or from the
    // recording, and then no pad is read. False when a replay has run out of
    // steps: the game is over.
    static bool nextKeys();
    // After the last step, before the states go: a recording is closed (a
    // failure to write it is said on standard error), a replay prints its
    // steps and the digest of the state reached on standard output.
    static void finish();
    // Back to plain play, any file closed (for tests).
    static void reset();

    // The version a recording is made with and must match.
    static std::string gameVersion();

    static Recording recording;  // what is recorded, or played back
    static long long stepsTaken; // steps run since the session started

private:
    static std::ofstream out;
    static std::string outName;
    static std::size_t runsWritten;
    static std::size_t runIndex;   // replay: the run being played
    static long long stepInRun;    // replay: steps of it played
    static void writeFinishedRuns();
};

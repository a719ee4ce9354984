#include "replay/Session.h"

#include "launch/CommandLine.h"
#include "dialogue/TextSpeed.h"
#include "input/Gamepad.h"
#include "input/Keyboard.h"
#include "replay/StateDigest.h"
#include "disk/WorldIdentity.h"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <stdexcept>

Session::Mode Session::mode = Session::Mode::Play;
Recording Session::recording;
long long Session::stepsTaken = 0;
std::ofstream Session::out;
std::string Session::outName;
std::size_t Session::runsWritten = 0;
std::size_t Session::runIndex = 0;
long long Session::stepInRun = 0;

std::string Session::gameVersion()
{
    // "tarnwick 1.0.0\n" -> "1.0.0"
    std::string text = CommandLine::version();
    const std::size_t space = text.find(' ');
    text = space == std::string::npos ? text : text.substr(space + 1);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

void Session::reset()
{
    if (out.is_open())
        out.close();
    mode = Mode::Play;
    recording = Recording();
    stepsTaken = 0;
    outName.clear();
    runsWritten = runIndex = 0;
    stepInRun = 0;
}

void Session::record(const std::string& file)
{
    reset();
    recording.version = gameVersion();
    recording.world = WorldIdentity::of(".");
    recording.textSpeed = TextSpeed::name(TextSpeed::current);
    out.open(file, std::ios::out | std::ios::trunc);
    if (!out)
        throw std::runtime_error(file + ": cannot write the recording: " + std::strerror(errno));
    out << recording.header() << std::flush;
    outName = file;
    mode = Mode::Record;
}

void Session::replay(const std::string& file)
{
    reset();
    std::ifstream in(file);
    if (!in)
        throw std::runtime_error(file + ": cannot read the recording: " + std::strerror(errno));
    Recording loaded;
    try {
        loaded = Recording::parse(in);
    } catch (const std::exception& e) {
        throw std::runtime_error(file + ": not a recording the game can play: " + e.what());
    }
    const std::string version = gameVersion();
    const std::string world = WorldIdentity::of(".");
    if (loaded.version != version)
        throw std::runtime_error(file + ": recorded with version " + loaded.version + " of the game, this is "
                                 + version + ": play it with the version that made it");
    if (loaded.world != world)
        throw std::runtime_error(file + ": recorded on another world (" + loaded.world + ", this one is " + world
                                 + "): play it with the data it was made with (--data DIR)");
    // Pages type themselves out as fast as when the game was recorded; a
    // recording that names no speed showed them whole.
    const std::optional<TextSpeed::Speed> speed
        = loaded.textSpeed.empty() ? TextSpeed::Speed::Instant : TextSpeed::parse(loaded.textSpeed);
    if (!speed)
        throw std::runtime_error(file + ": not a recording the game can play: text speed \"" + loaded.textSpeed
                                 + "\" is none of slow, normal, fast and instant");
    TextSpeed::current = *speed;
    recording = std::move(loaded);
    mode = Mode::Replay;
}

void Session::writeFinishedRuns()
{
    // Every run but the last is finished: it goes to the file at once, so
    // that a game that crashes leaves a recording up to its last keys.
    const std::size_t finished = recording.runs.empty() ? 0 : recording.runs.size() - 1;
    if (runsWritten >= finished)
        return;
    for (; runsWritten < finished; ++runsWritten)
        out << Recording::line(recording.runs[runsWritten]);
    out << std::flush;
}

bool Session::nextKeys()
{
    if (mode == Mode::Replay) {
        while (runIndex < recording.runs.size() && stepInRun >= recording.runs[runIndex].steps) {
            ++runIndex;
            stepInRun = 0;
        }
        if (runIndex >= recording.runs.size())
            return false;
        const Recording::Run& run = recording.runs[runIndex];
        for (int k = 0; k < sf::Keyboard::KeyCount; ++k) {
            Keyboard::lastState[k] = Keyboard::currentState[k];
            Keyboard::currentState[k] = run.keys[static_cast<std::size_t>(k)];
        }
        // The pad's snapshot as the game saw it: what was held over a lost
        // focus or swallowed is already out of it.
        for (int i = 0; i < PadInputs::Count; ++i) {
            Gamepad::lastState[i] = Gamepad::currentState[i];
            Gamepad::currentState[i] = run.pad[static_cast<std::size_t>(i)];
        }
        ++stepInRun;
        ++stepsTaken;
        return true;
    }
    Keyboard::update();
    Gamepad::update(Keyboard::focused);
    ++stepsTaken;
    if (mode == Mode::Record) {
        Recording::Keys keys;
        for (int k = 0; k < sf::Keyboard::KeyCount; ++k)
            keys[static_cast<std::size_t>(k)] = Keyboard::currentState[k];
        Recording::Pad pad;
        for (int i = 0; i < PadInputs::Count; ++i)
            pad[static_cast<std::size_t>(i)] = Gamepad::currentState[i];
        recording.add(keys, pad);
        writeFinishedRuns();
    }
    return true;
}

void Session::finish()
{
    if (mode == Mode::Record && out.is_open()) {
        for (; runsWritten < recording.runs.size(); ++runsWritten)
            out << Recording::line(recording.runs[runsWritten]);
        out << recording.footer() << std::flush;
        out.close();
        if (!out)
            std::cerr << "tarnwick: " << outName << ": the recording could not be written whole\n";
        else
            std::cout << "record: " << recording.steps() << " steps in " << outName << ", state "
                      << StateDigest::now() << '\n';
    }
    if (mode == Mode::Replay)
        std::cout << "replay: " << stepsTaken << " steps, state " << StateDigest::now() << '\n';
}

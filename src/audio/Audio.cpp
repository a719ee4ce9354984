#include "audio/Audio.h"

#include "audio/AudioDevice.h"
#include "core/Entity.h"
#include "core/Game.h"
#include "input/Input.h"
#include "audio/MusicStream.h"
#include "audio/SoundFile.h"
#include "resources/QuietSfml.h"
#include "disk/Settings.h"

#include <cstdint>
#include <SFML/Audio/Sound.hpp>
#include <SFML/Audio/SoundBuffer.hpp>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <thread>

bool Audio::listening = false;
std::vector<Audio::Heard> Audio::heard;
long long Audio::frames = 0;

namespace {

using Cue = Audio::Cue;

// What is loaded while a device is open.
struct Engine {
    SoundSet set;
    std::array<std::vector<sf::SoundBuffer>, SoundSet::cueCount> buffers;
    std::array<std::size_t, SoundSet::cueCount> turn{};
    std::vector<sf::Sound> voices = std::vector<sf::Sound>(16);
    MusicStream music;
    // The music is read while the game already runs: decoding it all takes
    // a noticeable part of a second.
    std::thread reader;
    std::atomic<bool> leaving{false};
    ~Engine()
    {
        leaving = true;
        if (reader.joinable())
            reader.join();
    }
};

std::unique_ptr<Engine> engine;
// The piece asked for last, kept for when the device opens.
bool titlePiece = false;
std::unique_ptr<std::ofstream> logFile;
std::chrono::steady_clock::time_point opened;

// The controls as the settings file keeps them, under [audio].
struct Controls {
    int master = Audio::defaultMaster, music = Audio::defaultMusic, effects = Audio::defaultEffects;
    bool muted = false;
} controls;
const char* const keyOf[] = {"master", "music", "effects"};

bool talking = false;
int shownPart = -2;
// The frame each cue was last played in (long ago at first).
std::array<long long, SoundSet::cueCount> lastFrame = [] {
    std::array<long long, SoundSet::cueCount> never;
    never.fill(-1000000);
    return never;
}();
std::uint32_t wobble = 1;

// A volume of 0 to 100 as a gain: its square, which sounds more even than a
// straight line.
float gainOf(int value)
{
    const float v = static_cast<float>(std::clamp(value, 0, 100)) / 100.f;
    return v * v;
}

float effectsGain()
{
    return controls.muted ? 0.f : gainOf(controls.master) * gainOf(controls.effects);
}

float musicLevel()
{
    return controls.muted ? 0.f : gainOf(controls.master) * gainOf(controls.music) * (talking ? Audio::underTalk : 1.f);
}

void applyMusicLevel()
{
    if (engine) {
        const float level = musicLevel();
        engine->music.change([level](MusicMix& m) { m.setLevel(level); });
    }
}

void log(const std::string& what)
{
    if (!logFile)
        return;
    // The device's own clock where it has one: the place in what it has
    // played where a sound asked for now belongs.
    double ms = AudioDevice::clock();
    if (ms < 0)
        ms = static_cast<double>(std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now()
                                                                                       - opened)
                                     .count())
             / 1000.0;
    *logFile << ms << ' ' << Audio::frames << ' ' << what << '\n';
    logFile->flush();
}

// The whole of an open sound file, mono, at the music's rate.
std::vector<sf::Int16> monoAtRate(SoundFile& in)
{
    const unsigned channels = in.channels();
    const std::vector<sf::Int16> all = in.readAll();
    std::vector<sf::Int16> mono(all.size() / std::max(channels, 1u));
    for (std::size_t i = 0; i < mono.size(); ++i) {
        int sum = 0;
        for (unsigned c = 0; c < channels; ++c)
            sum += all[i * channels + c];
        mono[i] = static_cast<sf::Int16>(sum / static_cast<int>(channels));
    }
    if (in.rate() != MusicMix::rate) {
        // The nearest sample: music should come at the game's rate.
        std::vector<sf::Int16> resampled(static_cast<std::size_t>(
            static_cast<double>(mono.size()) * MusicMix::rate / in.rate()));
        for (std::size_t i = 0; i < resampled.size(); ++i)
            resampled[i] = mono[std::min<std::size_t>(mono.size() - 1, i * std::uint64_t(in.rate()) / MusicMix::rate)];
        mono.swap(resampled);
    }
    return mono;
}

void warn(const std::string& line)
{
    std::cerr << "tarnwick: " << line << '\n';
}

void load(Engine& e)
{
    // A world without a sound folder is silent by choice (`--check` notes it).
    std::error_code error;
    if (!std::filesystem::is_directory(SoundSet::folder, error))
        return;
    std::vector<std::string> problems;
    e.set = SoundSet::load(SoundSet::file, &problems);
    for (const std::string& p : problems)
        warn(p);
    QuietSfml quiet;
    for (std::size_t c = 0; c < SoundSet::cueCount; ++c) {
        for (const std::string& name : e.set.effects[c]) {
            const std::string path = std::string(SoundSet::folder) + name;
            SoundFile file;
            std::string why = file.open(path, SoundFile::longestEffect);
            std::vector<sf::Int16> samples;
            if (why.empty()) {
                samples = file.readAll();
                if (samples.size() < file.claimed())
                    why = "breaks off";
            }
            sf::SoundBuffer buffer;
            if (why.empty() && buffer.loadFromSamples(samples.data(), samples.size(), file.channels(), file.rate()))
                e.buffers[c].push_back(buffer);
            else
                warn(path + ": cannot be read (" + (why.empty() ? "not a sound the game can read" : why)
                     + "): that sound stays silent (tarnwick --check says more)");
        }
    }
    // The music files are opened here (what SFML says of a bad one is kept
    // back only on this thread) and read on another.
    struct Layer {
        MusicMix::Piece piece;
        int place; // a layer that cannot be read leaves its place empty
        std::string path;
        std::unique_ptr<SoundFile> file;
    };
    auto layers = std::make_shared<std::vector<Layer>>();
    auto open = [&layers](MusicMix::Piece which, const std::vector<std::string>& names) {
        for (std::size_t n = 0; n < names.size(); ++n) {
            const std::string path = std::string(SoundSet::folder) + names[n];
            auto file = std::make_unique<SoundFile>();
            const std::string why = file->open(path, SoundFile::longestMusic);
            if (why.empty())
                layers->push_back(Layer{which, static_cast<int>(n), path, std::move(file)});
            else
                warn(path + ": cannot be read (" + why + "): that music stays silent (tarnwick --check says more)");
        }
    };
    open(MusicMix::guildhall, e.set.guildhall);
    open(MusicMix::title, {e.set.title});
    e.reader = std::thread([&e, layers] {
        for (Layer& layer : *layers) {
            if (e.leaving)
                return;
            std::vector<sf::Int16> samples = monoAtRate(*layer.file);
            layer.file.reset();
            if (samples.empty())
                warn(layer.path + ": holds no sound: that music stays silent (tarnwick --check says more)");
            else
                e.music.change([&](MusicMix& m) { m.addLayer(layer.piece, std::move(samples), layer.place); });
        }
    });
}

} // namespace

void Audio::loadControls()
{
    controls.master = Settings::getInt("audio", "master", defaultMaster, 0, 100);
    controls.music = Settings::getInt("audio", "music", defaultMusic, 0, 100);
    controls.effects = Settings::getInt("audio", "effects", defaultEffects, 0, 100);
    controls.muted = Settings::getBool("audio", "muted", false);
    applyMusicLevel();
}

void Audio::start(bool wanted)
{
    stop();
    loadControls();
    lastFrame.fill(-1000000);
    if (const char* name = std::getenv(logVariable); name && *name)
        logFile = std::make_unique<std::ofstream>(name, std::ios::app);
    opened = std::chrono::steady_clock::now();
    if (!wanted)
        return;
    std::string why;
    if (!AudioDevice::open(why)) {
        warn(why + ": playing without sound");
        return;
    }
    opened = std::chrono::steady_clock::now();
    log("opened");
    engine = std::make_unique<Engine>();
    load(*engine);
    shownPart = -2;
    applyMusicLevel();
    engine->music.change([](MusicMix& m) {
        m.setLayers(Audio::musicLayers());
        m.play(titlePiece ? MusicMix::title : MusicMix::guildhall);
    });
    engine->music.play();
}

void Audio::stop()
{
    engine.reset();
    AudioDevice::close();
    logFile.reset();
    talking = false;
}

bool Audio::active()
{
    return engine != nullptr;
}

std::string Audio::nameOf(Cue cue)
{
    const auto index = static_cast<std::size_t>(cue);
    return index < SoundSet::cueCount ? SoundSet::cueKeys[index] : "?";
}

void Audio::play(Cue cue, float pitch)
{
    const auto index = static_cast<std::size_t>(cue);
    if (index >= SoundSet::cueCount)
        return;
    if (cue == Cue::Bump && frames >= lastFrame[index] && frames - lastFrame[index] < bumpFrames)
        return;
    lastFrame[index] = frames;
    if (cue == Cue::Step) {
        // No two steps quite alike: a shade higher or lower each time.
        wobble = wobble * 1664525u + 1013904223u;
        pitch *= 0.96f + 0.08f * static_cast<float>(wobble >> 8) / 16777216.f;
    }
    if (listening)
        heard.push_back(Heard{cue, frames, pitch});
    log(nameOf(cue));
    if (cue == Cue::Sting && engine)
        engine->music.change([](MusicMix& m) { m.play(MusicMix::none); });
    if (!engine || engine->buffers[index].empty())
        return;

    const std::vector<sf::SoundBuffer>& variants = engine->buffers[index];
    const sf::SoundBuffer& buffer = variants[engine->turn[index]++ % variants.size()];
    // A free voice, or else the one that has played longest.
    sf::Sound* voice = nullptr;
    for (sf::Sound& s : engine->voices)
        if (s.getStatus() == sf::Sound::Stopped) {
            voice = &s;
            break;
        }
    if (!voice) {
        voice = &engine->voices.front();
        for (sf::Sound& s : engine->voices)
            if (s.getPlayingOffset() > voice->getPlayingOffset())
                voice = &s;
    }
    voice->stop();
    voice->setBuffer(buffer);
    voice->setPitch(pitch);
    voice->setVolume(100.f * effectsGain());
    voice->play();
}

void Audio::speak(const Entity* speaker)
{
    float pitch = 1.f;
    if (speaker) {
        static const SoundSet defaults;
        const SoundSet& set = engine ? engine->set : defaults;
        pitch = set.voiceOf(speaker->type, speaker->voice);
    }
    play(Cue::Voice, pitch);
}

void Audio::deface(int nth)
{
    if (nth >= 1 && nth <= 3)
        play(nth == 1 ? Cue::Scratch : nth == 2 ? Cue::Paint : Cue::Ink);
}

void Audio::conversation(bool open)
{
    play(open ? Cue::Open : Cue::Close);
    talking = open;
    applyMusicLevel();
}

void Audio::titleMusic()
{
    log("music title");
    titlePiece = true;
    if (engine)
        engine->music.change([](MusicMix& m) { m.play(MusicMix::title); });
}

void Audio::worldMusic()
{
    log("music guildhall");
    titlePiece = false;
    if (engine)
        engine->music.change([](MusicMix& m) { m.play(MusicMix::guildhall); });
}

bool Audio::playingTitle()
{
    return titlePiece;
}

int Audio::musicLayers()
{
    // The start has the first layer; every part adds one.
    return std::clamp(Game::part + 2, 1, 5);
}

void Audio::update()
{
    ++frames;
    if (Input::pressed(Action::Mute)) {
        setMuted(!controls.muted);
        // Kept for the next game; a settings file that cannot be written
        // only costs that.
        std::string why;
        if (!Settings::save(&why))
            warn("the mute switch is not kept: " + why);
    }
    if (Game::part != shownPart) {
        shownPart = Game::part;
        const int layers = musicLayers();
        log("layers " + std::to_string(layers));
        if (engine)
            engine->music.change([layers](MusicMix& m) { m.setLayers(layers); });
    }
}

int Audio::volume(Channel channel)
{
    return channel == Channel::Master ? controls.master : channel == Channel::Music ? controls.music : controls.effects;
}

void Audio::setVolume(Channel channel, int value)
{
    value = std::clamp(value, 0, 100);
    (channel == Channel::Master ? controls.master : channel == Channel::Music ? controls.music : controls.effects) =
        value;
    Settings::setInt("audio", keyOf[static_cast<int>(channel)], value);
    applyMusicLevel();
}

bool Audio::muted()
{
    return controls.muted;
}

void Audio::setMuted(bool on)
{
    controls.muted = on;
    Settings::setBool("audio", "muted", on);
    log(on ? "muted" : "unmuted");
    applyMusicLevel();
    if (engine && on)
        for (sf::Sound& s : engine->voices)
            s.stop();
}

#include "audio/Audio.h"
#include "input/Bindings.h"
#include "check/CheckReport.h"
#include "launch/CommandLine.h"
#include "core/Entity.h"
#include "core/Game.h"
#include "input/Keyboard.h"
#include "audio/MusicMix.h"
#include "disk/Settings.h"
#include "check/SoundCheck.h"
#include "audio/SoundFile.h"
#include "audio/SoundSet.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <SFML/Audio/InputSoundFile.hpp>

#include <algorithm>
#include <sys/resource.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using namespace testing_support;
using Cue = Audio::Cue;

namespace {

// The largest jump between two samples in a row.
int largestStep(const std::vector<sf::Int16>& out)
{
    int step = 0;
    for (std::size_t i = 1; i < out.size(); ++i)
        step = std::max(step, std::abs(out[i] - out[i - 1]));
    return step;
}

std::vector<sf::Int16> run(MusicMix& mix, std::size_t count)
{
    std::vector<sf::Int16> out(count);
    mix.mix(out.data(), out.size());
    return out;
}

// A mix with short ramps (so that tests run them out quickly): the
// guildhall of two constant layers (1000 and 8000) and a title of 4000.
MusicMix constantMix()
{
    MusicMix mix;
    mix.layerRamp = 400;
    mix.levelRamp = 200;
    mix.pieceRamp = 100;
    mix.addLayer(MusicMix::guildhall, std::vector<sf::Int16>(1000, 1000));
    mix.addLayer(MusicMix::guildhall, std::vector<sf::Int16>(1000, 8000));
    mix.addLayer(MusicMix::title, std::vector<sf::Int16>(700, 4000));
    mix.setLayers(1);
    mix.play(MusicMix::guildhall);
    run(mix, 1000); // faded in
    return mix;
}

// A WAV file of 16-bit mono samples.
std::string wav(const std::vector<sf::Int16>& samples, unsigned rate = 44100)
{
    auto u32 = [](unsigned long v) {
        return std::string{char(v & 0xff), char((v >> 8) & 0xff), char((v >> 16) & 0xff), char((v >> 24) & 0xff)};
    };
    auto u16 = [](unsigned v) { return std::string{char(v & 0xff), char((v >> 8) & 0xff)}; };
    std::string out = "RIFF" + u32(36 + 2 * samples.size()) + "WAVEfmt " + u32(16) + u16(1) + u16(1) + u32(rate)
                      + u32(rate * 2) + u16(2) + u16(16) + "data" + u32(2 * samples.size());
    for (sf::Int16 s : samples)
        out += u16(static_cast<unsigned>(static_cast<sf::Uint16>(s)));
    return out;
}

// A WAV header as a file may give it, whatever it holds after.
std::string wavHeader(unsigned channels, unsigned rate, unsigned long dataBytes)
{
    std::string honest = wav({});
    auto put = [&honest](std::size_t at, unsigned long v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            honest[at + i] = char((v >> (8 * i)) & 0xff);
    };
    put(22, channels, 2);
    put(24, rate, 4);
    put(28, rate * channels * 2, 4);
    put(32, channels * 2, 2);
    put(40, dataBytes, 4);
    return honest;
}

long peakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

class AudioTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetGame();
        Audio::listening = true;
        Audio::heard.clear();
        Audio::frames = 0;
        Settings::clear();
        Audio::loadControls();
    }
    void TearDown() override
    {
        Audio::listening = false;
        Audio::heard.clear();
        Settings::clear();
        Audio::loadControls();
        resetGame();
    }
    std::vector<Cue> cues() const
    {
        std::vector<Cue> list;
        for (const Audio::Heard& h : Audio::heard)
            list.push_back(h.cue);
        return list;
    }
};

} // namespace

// Whatever the game does to the music, the sound never jumps: every change
// is a ramp, and each reaches what was asked for.
TEST(MusicMixTest, EveryChangeIsARampThatArrives)
{
    struct Change {
        const char* what;
        std::function<void(MusicMix&)> apply;
        int after; // the level once it has arrived
    };
    const std::vector<Change> changes = {
        {"a layer comes in", [](MusicMix& m) { m.setLayers(2); }, 9000},
        {"the music goes down under talk", [](MusicMix& m) { m.setLevel(0.4f); }, 400},
        {"the title's piece", [](MusicMix& m) { m.play(MusicMix::title); }, 4000},
        {"silence", [](MusicMix& m) { m.play(MusicMix::none); }, 0},
        {"a part asks for more layers than there are", [](MusicMix& m) { m.setLayers(9); }, 9000},
    };
    for (const Change& change : changes) {
        MusicMix mix = constantMix();
        change.apply(mix);
        const std::vector<sf::Int16> out = run(mix, 2000);
        // 8000 over the shortest ramp, with a sample of rounding.
        EXPECT_LE(largestStep(out), 8000 / 100 + 1) << change.what;
        EXPECT_EQ(out.back(), change.after) << change.what;
    }
}

TEST(MusicMixTest, TheLoopPlaysEverySampleOnceInOrder)
{
    MusicMix mix;
    mix.pieceRamp = 1;
    std::vector<sf::Int16> layer(300);
    for (std::size_t i = 0; i < layer.size(); ++i)
        layer[i] = static_cast<sf::Int16>(i * 10);
    mix.addLayer(MusicMix::guildhall, layer);
    mix.play(MusicMix::guildhall);
    const std::vector<sf::Int16> out = run(mix, 1000);
    // The first sample is the fade's first step; from then on the loop
    // repeats exactly, over its seam as well.
    for (std::size_t i = 1; i < out.size(); ++i)
        ASSERT_EQ(out[i], layer[i % layer.size()]) << "sample " << i;
}

TEST(MusicMixTest, APieceStartsFromItsBeginningAndLayersStayInStep)
{
    MusicMix mix = constantMix();
    EXPECT_EQ(mix.playing(), MusicMix::guildhall);
    mix.play(MusicMix::title);
    run(mix, 150);
    EXPECT_EQ(mix.playing(), MusicMix::title);
    EXPECT_LT(mix.position(), 100u);
    // A layer of another length is made to fit the piece.
    mix.addLayer(MusicMix::guildhall, std::vector<sf::Int16>(1234, 1));
    EXPECT_EQ(mix.length(MusicMix::guildhall), 1000u);
    EXPECT_EQ(mix.layerCount(MusicMix::guildhall), 3u);
    // A piece without layers plays silence.
    MusicMix empty;
    empty.play(MusicMix::title);
    EXPECT_EQ(largestStep(run(empty, 100)), 0);
    EXPECT_EQ(empty.playing(), MusicMix::none);

    // A layer that could not be read leaves its place empty: the third
    // comes in with the third part's count of layers, not a part earlier.
    MusicMix gap;
    gap.layerRamp = gap.pieceRamp = 1;
    gap.addLayer(MusicMix::guildhall, std::vector<sf::Int16>(100, 1000), 0);
    gap.addLayer(MusicMix::guildhall, std::vector<sf::Int16>(100, 8000), 2);
    gap.play(MusicMix::guildhall);
    gap.setLayers(2);
    EXPECT_EQ(run(gap, 1000).back(), 1000);
    gap.setLayers(3);
    EXPECT_EQ(run(gap, 10).back(), 9000);
}

TEST(SoundSetTest, TheFileChangesWhatItNamesAndSaysWhatItCannotUse)
{
    struct Case {
        const char* text; // nullptr: no file at all
        std::function<bool(const SoundSet&)> holds;
        std::size_t problems;
    };
    const SoundSet own;
    const std::vector<Case> cases = {
        {nullptr, [&](const SoundSet& s) { return s.files() == own.files(); }, 0},
        {"[effects]\nstep = a.wav b.wav c.wav\n[music]\ntitle = t.ogg\nguildhall = g0.ogg g1.ogg\n",
         [](const SoundSet& s) {
             return s.effects[0] == std::vector<std::string>{"a.wav", "b.wav", "c.wav"} && s.title == "t.ogg"
                    && s.guildhall.size() == 2 && s.effects[1] == std::vector<std::string>{"bump.wav"};
         },
         0},
        {"[voices]\nboss = 2\nvictim = 9\nwarden = low\n",
         [](const SoundSet& s) { return s.voices.at("boss") == 2.f && s.voices.at("victim") == 1.15f; }, 2},
        {"[effects]\nfootstep = x.wav\nbump =\n[sounds]\nx = y\n", [&](const SoundSet& s) {
             return s.files() == own.files();
         }, 3},
        {"[music]\ntitle = a.ogg b.ogg\nfanfare = c.ogg\n", [](const SoundSet& s) { return s.title == "title.ogg"; },
         2},
        {"[effects\nstep = a.wav\n", [&](const SoundSet& s) { return s.files() == own.files(); }, 1},
    };
    for (const Case& c : cases) {
        ResourceDir dir;
        if (c.text)
            dir.write(SoundSet::file, c.text);
        std::vector<std::string> problems;
        const SoundSet set = SoundSet::load(SoundSet::file, &problems);
        EXPECT_TRUE(c.holds(set)) << (c.text ? c.text : "(no file)");
        EXPECT_EQ(problems.size(), c.problems) << (c.text ? c.text : "(no file)");
        for (const std::string& p : problems)
            EXPECT_EQ(p.rfind(SoundSet::file, 0), 0u) << p;
    }
}

TEST(SoundSetTest, AVoiceIsTheTilesOwnOrItsKinds)
{
    const SoundSet set;
    EXPECT_EQ(set.voiceOf("boss", 0), 0.8f);
    EXPECT_EQ(set.voiceOf("boss", 1.5f), 1.5f);
    EXPECT_EQ(set.voiceOf("statue", 0), 1.f);
    EXPECT_EQ(set.voiceOf("warden", 99), 0.66f); // out of range: the kind's
}

TEST_F(AudioTest, WithoutADeviceEverySoundIsStillHeardByTests)
{
    ASSERT_FALSE(Audio::active());
    Entity boss(0, 0), clerk(0, 0);
    boss.type = "boss";
    clerk.type = "victim";
    clerk.voice = 1.4f;
    Audio::speak(&boss);
    Audio::speak(&clerk);
    Audio::speak(nullptr);
    for (int nth : {0, 1, 2, 3, 4})
        Audio::deface(nth);
    Audio::conversation(true);
    Audio::conversation(false);
    EXPECT_EQ(cues(), (std::vector<Cue>{Cue::Voice, Cue::Voice, Cue::Voice, Cue::Scratch, Cue::Paint, Cue::Ink,
                                        Cue::Open, Cue::Close}));
    EXPECT_EQ(Audio::heard[0].pitch, 0.8f);
    EXPECT_EQ(Audio::heard[1].pitch, 1.4f);
    EXPECT_EQ(Audio::heard[2].pitch, 1.f);
}

TEST_F(AudioTest, PushingIntoAWallBumpsOnceInAWhileAndStepsVaryALittle)
{
    for (int frame = 0; frame < 60; ++frame) {
        Audio::play(Cue::Bump);
        Audio::update();
    }
    EXPECT_EQ(cues().size(), static_cast<std::size_t>(60 / Audio::bumpFrames));
    Audio::heard.clear();
    for (int i = 0; i < 20; ++i)
        Audio::play(Cue::Step);
    float low = 2, high = 0;
    for (const Audio::Heard& h : Audio::heard) {
        low = std::min(low, h.pitch);
        high = std::max(high, h.pitch);
    }
    EXPECT_EQ(Audio::heard.size(), 20u);
    EXPECT_GE(low, 0.96f);
    EXPECT_LE(high, 1.04f);
    EXPECT_GT(high - low, 0.01f);
}

TEST_F(AudioTest, TheMusicGrowsALayerAPart)
{
    const int expected[] = {1, 2, 3, 4, 5};
    for (int part = -1; part <= 3; ++part) {
        Game::part = part;
        Audio::update();
        EXPECT_EQ(Audio::musicLayers(), expected[part + 1]) << "part " << part;
    }
}

TEST_F(AudioTest, ControlsComeFromTheSettingsAndGoBack)
{
    Settings::parse("[audio]\nmaster = 40\nmusic = 300\neffects = x\nmuted = yes\n");
    Audio::loadControls();
    EXPECT_EQ(Audio::volume(Audio::Channel::Master), 40);
    EXPECT_EQ(Audio::volume(Audio::Channel::Music), Audio::defaultMusic); // out of range
    EXPECT_EQ(Audio::volume(Audio::Channel::Effects), Audio::defaultEffects);
    EXPECT_TRUE(Audio::muted());

    Audio::setVolume(Audio::Channel::Effects, 150);
    Audio::setVolume(Audio::Channel::Music, -3);
    Audio::setMuted(false);
    EXPECT_EQ(Settings::getInt("audio", "effects", -1, 0, 100), 100);
    EXPECT_EQ(Settings::getInt("audio", "music", -1, 0, 100), 0);
    EXPECT_FALSE(Settings::getBool("audio", "muted", true));
}

TEST_F(AudioTest, TheMuteKeyTurnsTheSoundOffAndOnAndKeepsIt)
{
    ResourceDir home;
    const std::string old = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
    setenv("XDG_CONFIG_HOME", home.path().c_str(), 1);
    holdKeys({sf::Keyboard::M});
    Audio::update();
    EXPECT_TRUE(Audio::muted());
    Settings::clear();
    EXPECT_EQ(Settings::load(), "");
    EXPECT_TRUE(Settings::getBool("audio", "muted", false)); // written to the file
    holdKeys({sf::Keyboard::M});
    Audio::update(); // still held: no change
    EXPECT_TRUE(Audio::muted());
    holdKeys({});
    holdKeys({sf::Keyboard::M});
    Audio::update();
    EXPECT_FALSE(Audio::muted());
    // Mute is an action like the others: bound elsewhere, M is a plain key.
    ASSERT_TRUE(Bindings::setKey(Action::Mute, 0, sf::Keyboard::N));
    holdKeys({});
    holdKeys({sf::Keyboard::M});
    Audio::update();
    EXPECT_FALSE(Audio::muted());
    holdKeys({sf::Keyboard::N});
    Audio::update();
    EXPECT_TRUE(Audio::muted());
    Bindings::restoreDefaults();
    Audio::setMuted(false);
    if (old.empty())
        unsetenv("XDG_CONFIG_HOME");
    else
        setenv("XDG_CONFIG_HOME", old.c_str(), 1);
}

TEST(SoundCheckTest, EverySoundNamedMustBeThereAndDecode)
{
    std::vector<sf::Int16> tone(4410);
    for (std::size_t i = 0; i < tone.size(); ++i)
        tone[i] = static_cast<sf::Int16>(8000 * std::sin(0.05 * static_cast<double>(i)));
    ResourceDir dir;
    dir.write(SoundSet::file, "[effects]\nstep = good.wav missing.wav\nbump = junk.wav\nopen = ../../x.wav\n"
                              "[music]\nguildhall = good.wav short.wav slow.wav\ntitle = good.wav\n"
                              "[sounds]\nx = 1\n");
    dir.write("res/snd/good.wav", wav(tone));
    dir.write("res/snd/short.wav", wav(std::vector<sf::Int16>(tone.begin(), tone.begin() + 100)));
    dir.write("res/snd/slow.wav", wav(tone, 22050));
    dir.write("res/snd/junk.wav", "RIFF and nothing more");
    dir.write("x.wav", wav(tone));
    CheckReport report;
    SoundCheck(report).run();
    std::vector<std::string> lines;
    for (const CheckReport::Problem& p : report.problems)
        lines.push_back(p.text());
    const std::vector<std::string> starts = {
        "res/snd/sounds.ini: warning: unknown entry [sounds]",
        "res/snd/missing.wav: error: missing;",
        "res/snd/junk.wav: error: not a sound the game can read",
        "res/snd/../../x.wav: error: outside res/",
        // Every file the game's own choice names for what the file leaves out.
        "res/snd/close.wav: error: missing;",
    };
    for (const std::string& start : starts) {
        bool found = false;
        for (const std::string& line : lines)
            found = found || line.rfind(start, 0) == 0;
        EXPECT_TRUE(found) << start;
    }
    int warnings = 0;
    for (const std::string& line : lines)
        warnings += line.find("short.wav: warning: this layer lasts 100 samples") != std::string::npos
                    || line.find("slow.wav: warning: music at 22050 Hz") != std::string::npos;
    EXPECT_EQ(warnings, 2);
}

TEST(SoundCheckTest, AWorldWithoutSoundsIsSilentNotBroken)
{
    ResourceDir dir;
    CheckReport report;
    SoundCheck(report).run();
    EXPECT_TRUE(report.problems.empty());
    EXPECT_TRUE(report.notes.empty());
}

TEST(CommandLineAudioTest, NoAudioIsASwitch)
{
    const char* plain[] = {"tarnwick"};
    const char* off[] = {"tarnwick", "--no-audio", "--window"};
    EXPECT_FALSE(CommandLine(1, plain).noAudio);
    const CommandLine line(3, off);
    EXPECT_TRUE(line.noAudio);
    EXPECT_EQ(line.action, CommandLine::Action::Play);
    EXPECT_NE(CommandLine::usage("").find("--no-audio"), std::string::npos);
}

namespace {
// The loudest sample of a shipped sound, in dBFS.
double peakDb(const std::vector<sf::Int16>& samples)
{
    int top = 1;
    for (sf::Int16 s : samples)
        top = std::max(top, std::abs(static_cast<int>(s)));
    return 20 * std::log10(top / 32768.0);
}

std::vector<sf::Int16> shippedSamples(const std::string& file)
{
    const char* source = std::getenv("TARNWICK_SOURCE_DIR");
    sf::InputSoundFile in;
    if (!source || !in.openFromFile(std::string(source) + "/res/snd/" + file)) {
        ADD_FAILURE() << "cannot read res/snd/" << file;
        return {};
    }
    std::vector<sf::Int16> samples(static_cast<std::size_t>(in.getSampleCount()));
    samples.resize(static_cast<std::size_t>(in.read(samples.data(), samples.size())));
    return samples;
}
} // namespace

// Walking is heard over the music: at the default volumes every footstep
// peaks at least 2 dB above the guildhall's music as the game mixes it, at
// every stage of the story (one layer to all five), and stays under the knock
// of walking into a wall.
TEST(ShippedSoundsTest, FootstepsPeakAboveTheMusicAtTheDefaultVolumes)
{
    MusicMix mix;
    for (int k = 0; k < 5; ++k)
        mix.addLayer(MusicMix::guildhall, shippedSamples("guildhall-" + std::to_string(k) + ".ogg"), k);
    ASSERT_GT(mix.length(MusicMix::guildhall), 0u);
    // The volume controls are heard as their square (master 100 is 1).
    const float level = static_cast<float>(std::pow(Audio::defaultMusic / 100.0, 2) *
                                           std::pow(Audio::defaultMaster / 100.0, 2));
    const double bump = peakDb(shippedSamples("bump.wav"));
    const double effects = 20 * std::log10(std::pow(Audio::defaultEffects / 100.0, 2) *
                                           std::pow(Audio::defaultMaster / 100.0, 2));
    for (const char* step : {"step-1.wav", "step-2.wav"}) {
        const double heard = peakDb(shippedSamples(step)) + effects;
        EXPECT_LT(heard, bump + effects) << step;
        for (int layers = 1; layers <= 5; ++layers) {
            mix.setLevel(level);
            mix.setLayers(layers);
            mix.play(MusicMix::guildhall);
            // One loop for the fades to settle, then one to measure.
            std::vector<sf::Int16> out(mix.length(MusicMix::guildhall));
            mix.mix(out.data(), out.size());
            mix.mix(out.data(), out.size());
            EXPECT_GE(heard, peakDb(out) + 2.0) << step << " against " << layers << " layer(s) of music";
        }
    }
}

// A header that claims more than its file holds, or more than an effect may
// last, is refused before anything is decoded; what is honest is read whole,
// and a file that breaks off gives only what it holds.
TEST(SoundFileTest, AHeaderIsBoundedBeforeAnythingIsDecoded)
{
    const std::string zeros(64, '\0');
    const struct {
        const char* what;
        std::string bytes;
        std::string refusal; // the start of why; empty when it may be read
        std::size_t samples;
    } cases[] = {
        {"108 bytes claiming 4 GB", wavHeader(1, 44100, 0xfffffff8ul) + zeros, "claims 2147483644 samples, more than "
                                                                                "its 108 bytes can hold", 0},
        {"stereo claiming 1 GB", wavHeader(2, 44100, 0x40000000ul) + zeros, "claims 536870912 samples", 0},
        {"a rate no sound has", wavHeader(1, 4000000, 64) + zeros, "claims 4000000 samples a second", 0},
        {"longer than an effect may last", wavHeader(1, 8000, 2 * 8000 * 11) + std::string(2 * 8000 * 11, '\0'),
         "lasts 11 s, longer than the 10 s it may", 0},
        {"not a sound", "RIFF and nothing more", "not a sound the game can read", 0},
        {"samples before their format", [] {
             std::string renamed = wavHeader(1, 44100, 64) + std::string(64, '\0');
             renamed[13] = 'e'; // "fet ": the format chunk is not seen
             return renamed;
         }(),
         "not a sound the game can read (a WAV whose samples come before their format)", 0},
        {"no channels", wavHeader(0, 44100, 64) + std::string(64, '\0'), "not a sound the game can read (a WAV of 0", 0},
        {"no sample size", [] {
             std::string sizeless = wavHeader(1, 44100, 64) + std::string(64, '\0');
             sizeless[34] = 0;
             return sizeless;
         }(),
         "not a sound the game can read (a WAV of 1 channels of 0-bit", 0},
        {"honest", wav(std::vector<sf::Int16>(441, 1000)), "", 441},
        {"breaks off", wavHeader(1, 44100, 200) + std::string(100, '\0'), "", 50},
    };
    const long before = peakKiB();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SoundFile file;
        const std::string why = file.openBytes(c.bytes, SoundFile::longestEffect);
        EXPECT_EQ(why.substr(0, c.refusal.size()), c.refusal) << why;
        EXPECT_EQ(why.empty(), c.refusal.empty()) << why;
        if (why.empty()) {
            EXPECT_EQ(file.readAll().size(), c.samples);
        }
    }
    // Refused cheaply: none of the claims was allocated.
    EXPECT_LT(peakKiB() - before, 64 * 1024);
}

// A sound in the world's folder is read by name, never from outside res/.
TEST(SoundFileTest, AFileIsReadFromInsideResOnly)
{
    ResourceDir dir;
    dir.write("res/snd/answer.wav", wavHeader(1, 44100, 0xfffffff8ul) + std::string(64, '\0'));
    dir.write("res/snd/open.wav", wav(std::vector<sf::Int16>(441, 1000)));
    SoundFile lying, honest;
    EXPECT_NE(lying.open("res/snd/answer.wav", SoundFile::longestEffect).find("more than its 108 bytes"),
              std::string::npos);
    EXPECT_EQ(honest.open("res/snd/open.wav", SoundFile::longestEffect), "");
    EXPECT_NE(honest.open("../open.wav", SoundFile::longestEffect), "");
}

#pragma once

#include "audio/SoundSet.h"

#include <string>
#include <vector>

class Entity;

// The game's sounds and music, reached from anywhere through static calls.
// Until start() has opened an audio device every call is harmless and
// silent (unit tests, --no-audio, headless runs, a machine without sound),
// yet what would have been heard can still be listened to (`listening`).
class Audio {
public:
    Audio() = delete;

    using Cue = SoundSet::Cue;
    enum class Channel { Master, Music, Effects };

    // Opens the audio device and loads the world's sounds (from the working
    // folder's res/snd/). Without a device, says so in one line on standard
    // error and stays silent. With `wanted` false it does not try.
    static void start(bool wanted);
    // Stops every sound and lets the device go. The game calls it before it
    // ends; start() may be called again afterwards.
    static void stop();
    // A device is open: sounds are heard.
    static bool active();

    // One sound of the game. `pitch` 1 is the sound as recorded.
    static void play(Cue cue, float pitch = 1.f);
    // A blip of talk by `speaker`, in its voice: every few letters while a
    // page types itself out, once for a page shown whole.
    static void speak(const Entity* speaker);
    // The `nth` table of the story defaced (1 to 3): each its own sound.
    static void deface(int nth);
    // A conversation opens or closes: its sound, and the music goes quieter
    // while it lasts.
    static void conversation(bool open);
    // The title screen's piece, or the guildhall's (the game's; the default).
    static void titleMusic();
    static void worldMusic();
    // Whether the title's piece is the one playing (or to play once the
    // device opens), rather than the guildhall's.
    static bool playingTitle();

    // Once a frame: the mute key (M), and the guildhall's music follows the
    // part of the story (a layer more for every part).
    static void update();

    // The controls: master, music and effects volumes from 0 to 100, and
    // the mute switch. Changes are heard at once.
    static int volume(Channel channel);
    static void setVolume(Channel channel, int value);
    static bool muted();
    static void setMuted(bool on);
    // The controls are kept in the settings ([audio] master, music, effects,
    // muted): the setters change the store (the settings screen saves it;
    // the mute key saves it at once), and this reads them from the store,
    // as start() does.
    static void loadControls();
    static constexpr int defaultMaster = 100;
    static constexpr int defaultMusic = 70;
    static constexpr int defaultEffects = 100;

    // What was played, kept while `listening` is set (with or without a
    // device): the cue, the frame (counted by update()) and the pitch.
    struct Heard {
        Cue cue;
        long long frame;
        float pitch;
    };
    static bool listening;
    static std::vector<Heard> heard;
    static long long frames;
    // The layers of the guildhall's music that should sound now.
    static int musicLayers();

    // With this variable set to a file name, every sound is also written
    // there, one line each: milliseconds since the device opened (by the
    // device's clock when it has one: how much it had played when the sound
    // was asked for), frame, cue.
    static constexpr const char* logVariable = "TARNWICK_AUDIO_LOG";
    // The name of a cue in that log ("step", "bump", ...).
    static std::string nameOf(Cue cue);

    // A step into something solid sounds at most once in this many frames,
    // however long the player pushes.
    static constexpr long long bumpFrames = 20;
    // How much quieter the music is under a conversation (a gain).
    static constexpr float underTalk = 0.4f;
};

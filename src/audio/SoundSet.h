#pragma once

#include <array>
#include <map>
#include <string>
#include <vector>

// Which sound plays for what, read from the world's sound file
// (res/snd/sounds.ini): the files of every effect and of the music, and the
// pitch of each kind of character's voice. Whatever the file leaves out, or
// when there is no file, the game's own sounds are used.
class SoundSet {
public:
    // What the game makes a sound for.
    enum class Cue {
        Step,        // a step of one tile
        Bump,        // a step into something solid
        Open,        // a conversation opens
        Close,       // a conversation closes
        Voice,       // talk, every few letters of a page, at the speaker's pitch
        Answer,      // an answer chosen
        Livery,      // an item of livery taken
        WardenAside, // the warden steps aside
        Scratch,     // the first table defaced
        Paint,       // the second
        Ink,         // the third
        Report,      // Mr. Stoat's report: a new part of the story
        Sting,       // the closing card
        Count
    };
    static constexpr std::size_t cueCount = static_cast<std::size_t>(Cue::Count);

    static const char* const file;   // res/snd/sounds.ini
    static const char* const folder; // res/snd/
    // The key of each cue in [effects], in the order of Cue.
    static const char* const cueKeys[cueCount];

    // The game's own sounds.
    SoundSet();
    // Reads `path` over the game's own sounds. A missing file is no problem;
    // a file that does not parse, or an entry the game does not know, leaves
    // the game's own choice in place and is described in `problems` (one
    // line each, naming the file).
    static SoundSet load(const std::string& path, std::vector<std::string>* problems = nullptr);

    // The files of each cue, under `folder`; several are played in turn (the
    // two feet).
    std::array<std::vector<std::string>, cueCount> effects;
    // The layers of the guildhall's music, the first from the start, one
    // more from each part on; and the title screen's piece.
    std::vector<std::string> guildhall;
    std::string title;
    // The pitch of a voice by the speaker's type (1 is the recorded pitch).
    std::map<std::string, float> voices;

    // The pitch of a speaker of `type` whose map gave it `own` (0: none).
    float voiceOf(const std::string& type, float own) const;
    // Every file named, once each, in the order above.
    std::vector<std::string> files() const;

    // The lowest and highest pitch a voice may have.
    static constexpr float lowestVoice = 0.25f;
    static constexpr float highestVoice = 4.f;
};

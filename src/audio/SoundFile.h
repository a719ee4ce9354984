#pragma once

#include <SFML/Audio/InputSoundFile.hpp>

#include <string>
#include <vector>

// One sound file, bounded before anything is decoded: its header may claim
// no more sound than the file can hold (a WAV's samples against its size),
// no rate or channel count beyond what any recording uses, and no longer
// than the kind of sound allows. A file that claims more is refused before
// a byte of sound is allocated; one that breaks off is read as far as it
// goes, and nothing is allocated beyond what was read.
class SoundFile {
public:
    // The longest an effect may last, and a piece of music, in seconds.
    static constexpr double longestEffect = 10;
    static constexpr double longestMusic = 300;
    static constexpr unsigned highestRate = 96000;
    static constexpr unsigned mostChannels = 2;

    SoundFile() = default;
    SoundFile(const SoundFile&) = delete;
    SoundFile& operator=(const SoundFile&) = delete;

    // Opens the file at `path` (an ordinary file inside res/) or the bytes
    // of one; "" when it may be read, else why not, in a few words.
    std::string open(const std::string& path, double longest);
    std::string openBytes(std::string bytes, double longest);

    // Every sample, channels interleaved: what the header claims at most,
    // fewer when the file breaks off.
    std::vector<sf::Int16> readAll();

    unsigned channels() const { return in.getChannelCount(); }
    unsigned rate() const { return in.getSampleRate(); }
    // The samples the header claims (every channel's).
    sf::Uint64 claimed() const { return in.getSampleCount(); }

private:
    std::string bytes; // outlives `in`, which reads from it
    sf::InputSoundFile in;
};

#pragma once

#include "audio/MusicMix.h"

#include <SFML/Audio/SoundStream.hpp>

#include <mutex>
#include <vector>

// Plays a MusicMix on the audio device: SFML's streaming thread asks for the
// next chunk, and the game's thread changes the mix in between.
class MusicStream : public sf::SoundStream {
public:
    MusicStream();
    ~MusicStream() override;

    // Changes to the mix, safe from the game's thread.
    template <typename Change>
    void change(Change&& what)
    {
        std::lock_guard<std::mutex> hold(lock);
        what(mixer);
    }

    // About 93 ms a chunk, three chunks queued: the music rides out a busy
    // machine's pauses, and what the game changes (a part's new layer, the
    // music under a conversation) begins within about a quarter second.
    static constexpr std::size_t chunkSamples = 4096;

private:
    bool onGetData(Chunk& data) override;
    void onSeek(sf::Time) override;

    std::mutex lock;
    MusicMix mixer;
    std::vector<sf::Int16> chunk;
};

#include "audio/MusicStream.h"

MusicStream::MusicStream()
    : chunk(chunkSamples)
{
    initialize(1, MusicMix::rate);
}

MusicStream::~MusicStream()
{
    // The streaming thread must not ask for more while this goes away.
    stop();
}

bool MusicStream::onGetData(Chunk& data)
{
    {
        std::lock_guard<std::mutex> hold(lock);
        mixer.mix(chunk.data(), chunk.size());
    }
    data.samples = chunk.data();
    data.sampleCount = chunk.size();
    return true; // the music never ends by itself
}

void MusicStream::onSeek(sf::Time)
{
}

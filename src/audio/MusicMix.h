#pragma once

#include <SFML/Config.hpp>

#include <cstddef>
#include <vector>

// The music as numbers: looping pieces made of layers of the same length,
// played in step, each layer faded in or out on its own, the whole faded
// between pieces. Every change of loudness is a ramp over many samples, so
// nothing the game does to the music clicks. It knows no audio device: the
// stream that plays it (MusicStream) asks it for samples.
class MusicMix {
public:
    // The pieces the game knows.
    enum Piece { none = -1, guildhall = 0, title = 1, pieceCount = 2 };

    static constexpr unsigned rate = 44100;
    // How long fades last, in samples: a layer coming in or going out, a
    // change of level (the music under a conversation), and the fade out of
    // one piece before the next begins.
    unsigned layerRamp = rate;          // 1 s
    unsigned levelRamp = rate / 4;      // 0.25 s
    unsigned pieceRamp = rate * 3 / 10; // 0.3 s

    // A layer of `piece`: mono samples at `rate`. A layer of another length
    // than the piece's first is cut or padded with silence to its length.
    // `place` is its number in the piece (0 the first): the guildhall's
    // layer n sounds from the story's part n - 1 on, even when a layer
    // before it could not be read. Without one it comes after the last.
    void addLayer(Piece piece, std::vector<sf::Int16> samples, int place = -1);
    std::size_t layerCount(Piece piece) const;
    // The length of a piece's loop in samples (0 without layers).
    std::size_t length(Piece piece) const;

    // Plays `piece` from its start, after the one playing now has faded out
    // (and once it has a layer); none fades the music out. Asking for the
    // piece already playing (or about to) changes nothing.
    void play(Piece piece);
    // How many of the layers of the guildhall piece sound (the first ones).
    void setLayers(int count);
    // The loudness of the music as a whole, 0 to 1.
    void setLevel(float level);

    // The next `count` samples.
    void mix(sf::Int16* out, std::size_t count);

    // What plays: the piece whose samples are coming out now (none while
    // silent), and where in its loop.
    Piece playing() const { return current; }
    std::size_t position() const { return at; }
    Piece wanted() const { return next; }

private:
    struct Layer {
        std::vector<sf::Int16> samples;
        float gain = 0;
        int place = 0;
    };
    std::vector<Layer> layers[pieceCount];
    Piece current = none;
    Piece next = none;
    std::size_t at = 0;
    int audibleLayers = 1;
    float fade = 0;        // the fade between pieces, 0 to 1
    float level = 1;       // the music's loudness now
    float targetLevel = 1;

    float layerTarget(Piece piece, const Layer& layer) const;
};

#include "audio/MusicMix.h"

#include <algorithm>
#include <cmath>

namespace {
// One step of a ramp from `now` towards `target`, `steps` steps for the
// whole way from 0 to 1.
float towards(float now, float target, unsigned steps)
{
    const float step = 1.f / static_cast<float>(std::max(steps, 1u));
    if (now < target)
        return std::min(now + step, target);
    return std::max(now - step, target);
}
}

void MusicMix::addLayer(Piece piece, std::vector<sf::Int16> samples, int place)
{
    if (piece < 0 || piece >= pieceCount)
        return;
    std::vector<Layer>& list = layers[piece];
    if (!list.empty())
        samples.resize(list.front().samples.size(), 0);
    if (samples.empty())
        return;
    if (place < 0)
        place = list.empty() ? 0 : list.back().place + 1;
    list.push_back(Layer{std::move(samples), 0.f, place});
    // A layer that comes while its piece plays fades in like any other.
    list.back().gain = piece == current ? 0.f : layerTarget(piece, list.back());
}

std::size_t MusicMix::layerCount(Piece piece) const
{
    return piece >= 0 && piece < pieceCount ? layers[piece].size() : 0;
}

std::size_t MusicMix::length(Piece piece) const
{
    return layerCount(piece) ? layers[piece].front().samples.size() : 0;
}

void MusicMix::play(Piece piece)
{
    if (piece >= pieceCount || piece < none)
        piece = none;
    next = piece;
}

void MusicMix::setLayers(int count)
{
    audibleLayers = count;
}

void MusicMix::setLevel(float value)
{
    targetLevel = std::clamp(value, 0.f, 1.f);
    // Nothing is heard yet: no need to ramp.
    if (current == none)
        level = targetLevel;
}

float MusicMix::layerTarget(Piece piece, const Layer& layer) const
{
    // Only the guildhall grows; every other piece plays whole.
    if (piece != guildhall)
        return 1.f;
    return layer.place < audibleLayers ? 1.f : 0.f;
}

void MusicMix::mix(sf::Int16* out, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        // Another piece is wanted: the one playing fades out first, then the
        // new one starts from its beginning and fades in.
        if (next != current) {
            fade = towards(fade, 0.f, pieceRamp);
            // A piece whose layers are still being read starts once they come.
            if (fade == 0.f) {
                current = length(next) ? next : none;
                at = 0;
                if (current != none)
                    for (Layer& layer : layers[current])
                        layer.gain = layerTarget(current, layer);
            }
        } else if (current != none) {
            fade = towards(fade, 1.f, pieceRamp);
        }
        level = towards(level, targetLevel, levelRamp);

        float sum = 0;
        if (current != none) {
            std::vector<Layer>& list = layers[current];
            for (Layer& layer : list) {
                layer.gain = towards(layer.gain, layerTarget(current, layer), layerRamp);
                if (layer.gain > 0)
                    sum += layer.gain * static_cast<float>(layer.samples[at]);
            }
            if (++at >= list.front().samples.size())
                at = 0;
        }
        const float value = std::round(sum * fade * level);
        out[i] = static_cast<sf::Int16>(std::clamp(value, -32767.f, 32767.f));
    }
}

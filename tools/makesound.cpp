// makesound: turns the text descriptions under tools/sound/ into the game's
// sounds and music under res/snd/.
//
// Usage: makesound [ROOT] [--out DIR]
//   ROOT is the repository root (default "."). Every "*.txt" file in
//   ROOT/tools/sound is read (in name order) and every sound and piece they
//   describe is written below ROOT/res/snd, or below DIR when given. The same
//   descriptions always give the same bytes: nothing random, no time stamps,
//   a fixed Ogg serial number.
//
// Files ending in ".wav" are written as 16-bit mono PCM, files ending in
// ".ogg" as Ogg Vorbis (libvorbisenc, quality 0.4), all at 44100 Hz, mono.
//
// Description syntax (one statement per line, '#' starts a comment):
//
//   instrument NAME KEY=VALUE...   a named set of sound settings (below)
//
//   sound FILE KEY=VALUE...        a sound effect; settings of the sound:
//                                  length=SECONDS  peak=DBFS (the loudest
//                                  sample is scaled to this level)
//     voice KEY=VALUE...           one voice of it (settings below), with
//                                  at=SECONDS (its start) and freq=HZ
//
//   piece NAME tempo=BPM beats=N peak=DBFS
//                                  a looping piece of N beats; the layers that
//                                  follow are scaled together so that all of
//                                  them played at once peak at DBFS
//     layer FILE                   one file of the piece, played in step with
//                                  the others (the game adds them one by one)
//       play INSTRUMENT NOTES...   one line of music in that layer
//
// Settings (instrument, voice, or on a play line after the instrument):
//   wave=sine|triangle|square|saw|noise   the oscillator (default sine)
//   harmonics=A1,A2,...                   sines at 1, 2, 3... times the
//                                         pitch with these amplitudes
//                                         (instead of wave)
//   attack=S decay=S sustain=LEVEL release=S   the envelope: up in attack,
//                                         down to sustain in decay (an
//                                         exponential fall), held, then down
//                                         to nothing in release
//   glide=RATIO                           the pitch moves to pitch * RATIO
//                                         over the note (exponentially)
//   vibrato=HZ,SEMITONES                  a slow wobble of the pitch
//   lowpass=HZ highpass=HZ                one-pole filters
//   gain=AMPLITUDE                        loudness of the voice (default 1)
//   seed=N                                the noise's seed
//   length=S                              (voice only) how long it sounds
//                                         before its release (default: the
//                                         sound's length)
//
// Notes: NAME[:BEATS] where NAME is a pitch (C4, F#3, Bb2; A4 is 440 Hz), a
// chord of pitches joined by '+' (F3+A3+C4), or 'r' for a rest. BEATS is a
// number (0.5, 1.5); without it the last one given is used (1 at the start).
// '|' marks a bar (four beats): a bar of another length is an error. A note
// that rings past the end of the piece wraps round to its beginning, so the
// loop has no seam.

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const int RATE = 44100;
const double PI = 3.14159265358979323846;

struct SoundError : std::runtime_error {
    SoundError(const std::string& file, int line, const std::string& what)
        : std::runtime_error(file + ":" + std::to_string(line) + ": " + what)
    {
    }
};

using Settings = std::map<std::string, std::string>;

struct Voice {
    std::string wave = "sine";
    std::vector<double> harmonics;
    double attack = 0.005, decay = 0.2, sustain = 1, release = 0.05;
    double glide = 1, vibratoRate = 0, vibratoDepth = 0;
    double lowpass = 0, highpass = 0, gain = 1;
    double at = 0, length = -1, freq = 440;
    std::uint32_t seed = 1;
};

double number(const std::string& text, const std::string& where)
{
    std::size_t used = 0;
    double value = 0;
    try {
        value = std::stod(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != text.size() || text.empty())
        throw std::runtime_error("'" + text + "' is not a number (" + where + ")");
    return value;
}

std::vector<double> numbers(const std::string& text, const std::string& where)
{
    std::vector<double> list;
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ','))
        list.push_back(number(item, where));
    return list;
}

void configure(Voice& v, const Settings& settings)
{
    for (const auto& [key, value] : settings) {
        if (key == "wave") {
            if (value != "sine" && value != "triangle" && value != "square" && value != "saw" && value != "noise")
                throw std::runtime_error("unknown wave '" + value + "'");
            v.wave = value;
            v.harmonics.clear();
        } else if (key == "harmonics") {
            v.harmonics = numbers(value, key);
        } else if (key == "vibrato") {
            const std::vector<double> pair = numbers(value, key);
            if (pair.size() != 2)
                throw std::runtime_error("vibrato takes HZ,SEMITONES");
            v.vibratoRate = pair[0];
            v.vibratoDepth = pair[1];
        } else if (key == "seed") {
            v.seed = static_cast<std::uint32_t>(number(value, key));
        } else {
            static const std::map<std::string, double Voice::*> fields = {
                {"attack", &Voice::attack}, {"decay", &Voice::decay},       {"sustain", &Voice::sustain},
                {"release", &Voice::release}, {"glide", &Voice::glide},     {"lowpass", &Voice::lowpass},
                {"highpass", &Voice::highpass}, {"gain", &Voice::gain},     {"at", &Voice::at},
                {"length", &Voice::length},   {"freq", &Voice::freq}};
            const auto field = fields.find(key);
            if (field == fields.end())
                throw std::runtime_error("unknown setting '" + key + "'");
            v.*(field->second) = number(value, key);
        }
    }
}

// Renders one voice of `seconds` before its release into `out` from sample
// `start`; samples past the end wrap round when `wrap` is set, else are cut.
void render(const Voice& v, double seconds, double pitch, long start, std::vector<double>& out, bool wrap)
{
    const long held = static_cast<long>(std::lround(seconds * RATE));
    const long total = held + static_cast<long>(std::lround(v.release * RATE));
    std::uint32_t noise = v.seed * 2654435761u + 12345u;
    double phase = 0, low = 0, highIn = 0, highOut = 0;
    const double lowA = v.lowpass > 0 ? 1 - std::exp(-2 * PI * v.lowpass / RATE) : 1;
    const double highA = v.highpass > 0 ? std::exp(-2 * PI * v.highpass / RATE) : 0;
    double levelAtRelease = 0;
    const long size = static_cast<long>(out.size());
    for (long i = 0; i < total; ++i) {
        const double t = static_cast<double>(i) / RATE;
        // The envelope.
        double level;
        if (i < held) {
            if (v.attack > 0 && t < v.attack)
                level = t / v.attack;
            else if (v.decay > 0)
                level = v.sustain + (1 - v.sustain) * std::exp(-(t - v.attack) * 5 / v.decay);
            else
                level = v.sustain;
            levelAtRelease = level;
        } else {
            const double r = static_cast<double>(i - held) / (v.release * RATE);
            level = levelAtRelease * (1 - r) * (1 - r);
        }
        // The pitch.
        double f = pitch;
        if (v.glide != 1 && seconds > 0)
            f *= std::pow(v.glide, std::min(t / seconds, 1.0));
        if (v.vibratoRate > 0)
            f *= std::pow(2.0, v.vibratoDepth / 12 * std::sin(2 * PI * v.vibratoRate * t));
        phase += f / RATE;
        phase -= std::floor(phase);
        double s = 0;
        if (!v.harmonics.empty()) {
            for (std::size_t h = 0; h < v.harmonics.size(); ++h)
                if ((h + 1) * f < RATE / 2.0)
                    s += v.harmonics[h] * std::sin(2 * PI * phase * static_cast<double>(h + 1));
        } else if (v.wave == "sine") {
            s = std::sin(2 * PI * phase);
        } else if (v.wave == "triangle") {
            s = phase < 0.5 ? 4 * phase - 1 : 3 - 4 * phase;
        } else if (v.wave == "square") {
            s = phase < 0.5 ? 1 : -1;
        } else if (v.wave == "saw") {
            s = 2 * phase - 1;
        } else {
            noise = noise * 1664525u + 1013904223u;
            s = static_cast<double>(noise >> 8) / 8388608.0 - 1;
        }
        low += lowA * (s - low);
        s = low;
        if (v.highpass > 0) {
            const double o = highA * (highOut + s - highIn);
            highIn = s;
            highOut = o;
            s = o;
        }
        long at = start + i;
        if (at >= size) {
            if (!wrap)
                break;
            at %= size;
        }
        out[static_cast<std::size_t>(at)] += s * level * v.gain;
    }
}

double pitchOf(const std::string& name)
{
    static const std::map<char, int> steps = {{'C', -9}, {'D', -7}, {'E', -5}, {'F', -4},
                                              {'G', -2}, {'A', 0},  {'B', 2}};
    if (name.size() < 2 || !steps.count(name[0]))
        throw std::runtime_error("'" + name + "' is not a pitch");
    int semitone = steps.at(name[0]);
    std::size_t i = 1;
    if (name[i] == '#') {
        ++semitone;
        ++i;
    } else if (name[i] == 'b') {
        --semitone;
        ++i;
    }
    if (i + 1 != name.size() || !std::isdigit(static_cast<unsigned char>(name[i])))
        throw std::runtime_error("'" + name + "' is not a pitch");
    const int octave = name[i] - '0';
    return 440.0 * std::pow(2.0, (semitone + 12 * (octave - 4)) / 12.0);
}

std::vector<std::int16_t> toSamples(const std::vector<double>& wave, double scale)
{
    std::vector<std::int16_t> samples(wave.size());
    for (std::size_t i = 0; i < wave.size(); ++i) {
        const double s = std::clamp(std::round(wave[i] * scale * 32767), -32767.0, 32767.0);
        samples[i] = static_cast<std::int16_t>(s);
    }
    return samples;
}

double peakOf(const std::vector<double>& wave)
{
    double peak = 0;
    for (double s : wave)
        peak = std::max(peak, std::fabs(s));
    return peak;
}

void put16(std::string& out, unsigned v)
{
    out += static_cast<char>(v & 0xff);
    out += static_cast<char>((v >> 8) & 0xff);
}
void put32(std::string& out, unsigned long v)
{
    put16(out, static_cast<unsigned>(v & 0xffff));
    put16(out, static_cast<unsigned>((v >> 16) & 0xffff));
}

std::string wavBytes(const std::vector<std::int16_t>& samples)
{
    std::string out = "RIFF";
    put32(out, 36 + 2 * samples.size());
    out += "WAVEfmt ";
    put32(out, 16);
    put16(out, 1);
    put16(out, 1);
    put32(out, RATE);
    put32(out, RATE * 2);
    put16(out, 2);
    put16(out, 16);
    out += "data";
    put32(out, 2 * samples.size());
    for (std::int16_t s : samples)
        put16(out, static_cast<unsigned>(static_cast<std::uint16_t>(s)));
    return out;
}

std::string oggBytes(const std::vector<std::int16_t>& samples)
{
    std::string out;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, 1, RATE, 0.4f) != 0)
        throw std::runtime_error("the Vorbis encoder refused its settings");
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "TITLE", "Tarnwick");
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 0x5417);

    auto writePages = [&](bool flush) {
        ogg_page page;
        while (flush ? ogg_stream_flush(&stream, &page) : ogg_stream_pageout(&stream, &page)) {
            out.append(reinterpret_cast<const char*>(page.header), static_cast<std::size_t>(page.header_len));
            out.append(reinterpret_cast<const char*>(page.body), static_cast<std::size_t>(page.body_len));
        }
    };

    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    writePages(true);

    const std::size_t chunk = 4096;
    std::size_t done = 0;
    while (true) {
        // The last round writes nothing: that marks the end of the stream.
        const std::size_t n = std::min(chunk, samples.size() - done);
        if (n > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(n));
            for (std::size_t i = 0; i < n; ++i)
                buffer[0][i] = static_cast<float>(samples[done + i] / 32768.0);
        }
        vorbis_analysis_wrote(&dsp, static_cast<int>(n));
        done += n;
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                writePages(false);
            }
        }
        if (n == 0)
            break;
    }
    writePages(true);
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

void write(const fs::path& file, const std::vector<std::int16_t>& samples)
{
    const std::string ext = file.extension().string();
    std::string bytes;
    if (ext == ".wav")
        bytes = wavBytes(samples);
    else if (ext == ".ogg")
        bytes = oggBytes(samples);
    else
        throw std::runtime_error(file.string() + ": the name must end in .wav or .ogg");
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error(file.string() + ": cannot write it");
    std::cout << file.string() << " (" << samples.size() << " samples)\n";
}

// "key=value" words after `from`.
Settings settingsOf(const std::vector<std::string>& words, std::size_t from)
{
    Settings s;
    for (std::size_t i = from; i < words.size(); ++i) {
        const std::size_t eq = words[i].find('=');
        if (eq == std::string::npos || eq == 0)
            throw std::runtime_error("expected KEY=VALUE, found '" + words[i] + "'");
        s[words[i].substr(0, eq)] = words[i].substr(eq + 1);
    }
    return s;
}

struct Sound {
    std::string file;
    double length = 0.2, peak = -12;
    std::vector<Voice> voices;
};

struct Line {
    std::string instrument;
    Settings extra;
    std::vector<std::string> notes;
    std::string where;
};

struct Piece {
    std::string name;
    double tempo = 120, beats = 16, peak = -6;
    std::vector<std::pair<std::string, std::vector<Line>>> layers;
};

struct Descriptions {
    std::map<std::string, Settings> instruments;
    std::vector<Sound> sounds;
    std::vector<Piece> pieces;
};

void read(const fs::path& file, Descriptions& d)
{
    std::ifstream in(file);
    std::string text;
    int number = 0;
    enum { none, sound, piece } context = none;
    while (std::getline(in, text)) {
        ++number;
        const std::size_t hash = text.find('#');
        if (hash != std::string::npos)
            text.erase(hash);
        std::stringstream words(text);
        std::vector<std::string> w;
        for (std::string word; words >> word;)
            w.push_back(word);
        if (w.empty())
            continue;
        try {
            if (w[0] == "instrument" && w.size() >= 2) {
                d.instruments[w[1]] = settingsOf(w, 2);
                context = none;
            } else if (w[0] == "sound" && w.size() >= 2) {
                Sound s;
                s.file = w[1];
                const Settings set = settingsOf(w, 2);
                for (const auto& [k, v] : set) {
                    if (k == "length")
                        s.length = ::number(v, k);
                    else if (k == "peak")
                        s.peak = ::number(v, k);
                    else
                        throw std::runtime_error("a sound takes length= and peak=, not " + k);
                }
                d.sounds.push_back(s);
                context = sound;
            } else if (w[0] == "voice" && context == sound) {
                Voice v;
                Settings set = settingsOf(w, 1);
                if (set.count("instrument")) {
                    const auto found = d.instruments.find(set["instrument"]);
                    if (found == d.instruments.end())
                        throw std::runtime_error("unknown instrument '" + set["instrument"] + "'");
                    configure(v, found->second);
                    set.erase("instrument");
                }
                configure(v, set);
                d.sounds.back().voices.push_back(v);
            } else if (w[0] == "piece" && w.size() >= 2) {
                Piece p;
                p.name = w[1];
                for (const auto& [k, v] : settingsOf(w, 2)) {
                    if (k == "tempo")
                        p.tempo = ::number(v, k);
                    else if (k == "beats")
                        p.beats = ::number(v, k);
                    else if (k == "peak")
                        p.peak = ::number(v, k);
                    else
                        throw std::runtime_error("a piece takes tempo=, beats= and peak=, not " + k);
                }
                d.pieces.push_back(p);
                context = piece;
            } else if (w[0] == "layer" && w.size() == 2 && context == piece) {
                d.pieces.back().layers.push_back({w[1], {}});
            } else if (w[0] == "play" && w.size() >= 2 && context == piece && !d.pieces.back().layers.empty()) {
                Line line;
                line.instrument = w[1];
                line.where = file.string() + ":" + std::to_string(number);
                std::size_t i = 2;
                std::vector<std::string> settings;
                for (; i < w.size() && w[i].find('=') != std::string::npos; ++i)
                    settings.push_back(w[i]);
                line.extra = settingsOf(settings, 0);
                line.notes.assign(w.begin() + static_cast<long>(i), w.end());
                d.pieces.back().layers.back().second.push_back(line);
            } else {
                throw std::runtime_error("unexpected '" + w[0] + "' here");
            }
        } catch (const SoundError&) {
            throw;
        } catch (const std::exception& e) {
            throw SoundError(file.string(), number, e.what());
        }
    }
}

std::vector<std::int16_t> makeSound(const Sound& s)
{
    std::vector<double> wave(static_cast<std::size_t>(std::lround(s.length * RATE)), 0.0);
    for (const Voice& v : s.voices) {
        const double held = v.length >= 0 ? v.length : s.length - v.at - v.release;
        render(v, std::max(held, 0.0), v.freq, std::lround(v.at * RATE), wave, false);
    }
    const double peak = peakOf(wave);
    if (peak <= 0)
        throw std::runtime_error(s.file + ": the sound is silent");
    // A short fade at the very end, so that a cut voice does not click.
    const std::size_t fade = std::min<std::size_t>(wave.size(), RATE / 200);
    for (std::size_t i = 0; i < fade; ++i)
        wave[wave.size() - 1 - i] *= static_cast<double>(i) / static_cast<double>(fade);
    return toSamples(wave, std::pow(10.0, s.peak / 20) / peak);
}

std::vector<std::vector<double>> makePiece(const Piece& p, const std::map<std::string, Settings>& instruments)
{
    const double beat = 60.0 / p.tempo;
    const long samplesPerBeat = std::lround(beat * RATE);
    if (std::fabs(beat * RATE - static_cast<double>(samplesPerBeat)) > 1e-6)
        throw std::runtime_error(p.name + ": the tempo must make a whole number of samples a beat (44100 * 60 / tempo)");
    const std::size_t size = static_cast<std::size_t>(std::lround(p.beats * static_cast<double>(samplesPerBeat)));
    std::vector<std::vector<double>> layers;
    for (const auto& [file, lines] : p.layers) {
        std::vector<double> wave(size, 0.0);
        for (const Line& line : lines) {
            try {
                Voice v;
                const auto found = instruments.find(line.instrument);
                if (found == instruments.end())
                    throw std::runtime_error("unknown instrument '" + line.instrument + "'");
                configure(v, found->second);
                configure(v, line.extra);
                double at = 0, length = 1, barStart = 0;
                for (const std::string& note : line.notes) {
                    if (note == "|") {
                        if (std::fabs(at - barStart - 4) > 1e-9 && at > 0)
                            throw std::runtime_error("a bar of " + std::to_string(at - barStart) + " beats ending at beat "
                                                     + std::to_string(at) + ": bars have four");
                        barStart = at;
                        continue;
                    }
                    const std::size_t colon = note.find(':');
                    const std::string name = note.substr(0, colon);
                    if (colon != std::string::npos)
                        length = number(note.substr(colon + 1), "beats");
                    if (name != "r") {
                        std::stringstream chord(name);
                        std::string pitch;
                        while (std::getline(chord, pitch, '+'))
                            render(v, length * beat, pitchOf(pitch), std::lround(at * static_cast<double>(samplesPerBeat)),
                                   wave, true);
                    }
                    at += length;
                }
                if (std::fabs(at - p.beats) > 1e-9)
                    throw std::runtime_error("the line lasts " + std::to_string(at) + " beats, the piece "
                                             + std::to_string(p.beats));
            } catch (const std::exception& e) {
                throw std::runtime_error(line.where + ": " + e.what());
            }
        }
        layers.push_back(wave);
    }
    return layers;
}

} // namespace

int main(int argc, char** argv)
{
    fs::path root = ".";
    fs::path outDir;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--out" && i + 1 < argc)
            outDir = argv[++i];
        else if (!arg.empty() && arg[0] != '-')
            root = arg;
        else {
            std::cerr << "usage: makesound [ROOT] [--out DIR]\n";
            return 2;
        }
    }
    if (outDir.empty())
        outDir = root / "res" / "snd";
    try {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(root / "tools" / "sound"))
            if (entry.path().extension() == ".txt")
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        if (files.empty())
            throw std::runtime_error((root / "tools" / "sound").string() + ": no descriptions (*.txt)");
        Descriptions d;
        for (const fs::path& f : files)
            read(f, d);
        for (const Sound& s : d.sounds)
            write(outDir / s.file, makeSound(s));
        for (const Piece& p : d.pieces) {
            const std::vector<std::vector<double>> layers = makePiece(p, d.instruments);
            std::vector<double> all(layers.empty() ? 0 : layers[0].size(), 0.0);
            for (const auto& layer : layers)
                for (std::size_t i = 0; i < all.size(); ++i)
                    all[i] += layer[i];
            const double peak = peakOf(all);
            if (peak <= 0)
                throw std::runtime_error(p.name + ": the piece is silent");
            const double scale = std::pow(10.0, p.peak / 20) / peak;
            for (std::size_t i = 0; i < layers.size(); ++i)
                write(outDir / p.layers[i].first, toSamples(layers[i], scale));
        }
    } catch (const std::exception& e) {
        std::cerr << "makesound: " << e.what() << '\n';
        return 1;
    }
    return 0;
}

#include "audio/SoundFile.h"

#include "resources/QuietSfml.h"
#include "resources/ResourceFile.h"

#include <algorithm>
#include <exception>
#include <sstream>

namespace {

// An uncompressed file holds at least a byte for every sample it claims.
bool uncompressed(const std::string& bytes)
{
    return bytes.size() >= 12 && bytes.compare(0, 4, "RIFF") == 0 && bytes.compare(8, 4, "WAVE") == 0;
}

unsigned little(const std::string& bytes, std::size_t at, int size)
{
    unsigned value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

// What the WAV reader below needs of a header and does not check itself: a
// format chunk before the samples, with channels and a sample size (without
// one, it divides by zero). The chunks are walked as that reader walks them.
std::string wavProblem(const std::string& bytes)
{
    bool format = false;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id = bytes.substr(at, 4);
        const unsigned size = little(bytes, at + 4, 4);
        at += 8;
        if (id == "data")
            return format ? "" : "a WAV whose samples come before their format";
        if (id == "fmt ") {
            if (size < 16 || at + 16 > bytes.size())
                return "a WAV whose format is cut short";
            const unsigned channels = little(bytes, at + 2, 2);
            const unsigned bits = little(bytes, at + 14, 2);
            if (channels == 0 || (bits != 8 && bits != 16 && bits != 24 && bits != 32))
                return "a WAV of " + std::to_string(channels) + " channels of " + std::to_string(bits)
                       + "-bit samples";
            format = true;
        }
        if (size > bytes.size() - at)
            break;
        at += size;
    }
    return "a WAV without samples";
}

std::string seconds(double value)
{
    std::ostringstream out;
    out.precision(3);
    out << value << " s";
    return out.str();
}

} // namespace

std::string SoundFile::open(const std::string& path, double longest)
{
    if (!ResourceFile::insideResources(path))
        return "outside res/";
    try {
        return openBytes(ResourceFile::read(path), longest);
    } catch (const std::exception&) {
        return "not an ordinary file the game may read";
    }
}

std::string SoundFile::openBytes(std::string contents, double longest)
{
    bytes = std::move(contents);
    if (uncompressed(bytes))
        if (const std::string problem = wavProblem(bytes); !problem.empty())
            return "not a sound the game can read (" + problem + ")";
    QuietSfml quiet;
    if (!in.openFromMemory(bytes.data(), bytes.size()))
        return "not a sound the game can read (WAV, Ogg Vorbis or FLAC)";
    if (channels() == 0 || channels() > mostChannels)
        return "claims " + std::to_string(channels()) + " channels (1 to " + std::to_string(mostChannels) + ")";
    if (rate() == 0 || rate() > highestRate)
        return "claims " + std::to_string(rate()) + " samples a second (at most " + std::to_string(highestRate) + ")";
    if (uncompressed(bytes) && claimed() > bytes.size())
        return "claims " + std::to_string(claimed()) + " samples, more than its " + std::to_string(bytes.size())
               + " bytes can hold";
    const double length = static_cast<double>(claimed() / channels()) / rate();
    if (length > longest)
        return "lasts " + seconds(length) + ", longer than the " + seconds(longest) + " it may";
    return "";
}

std::vector<sf::Int16> SoundFile::readAll()
{
    std::vector<sf::Int16> all;
    sf::Int16 chunk[4096];
    while (all.size() < claimed()) {
        const auto wanted = static_cast<sf::Uint64>(std::min<sf::Uint64>(std::size(chunk), claimed() - all.size()));
        const sf::Uint64 got = in.read(chunk, wanted);
        if (got == 0)
            break;
        all.insert(all.end(), chunk, chunk + got);
    }
    return all;
}

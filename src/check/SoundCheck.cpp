#include "check/SoundCheck.h"

#include "resources/QuietSfml.h"
#include "resources/ResourceFile.h"
#include "audio/SoundSet.h"

#include <SFML/Audio/InputSoundFile.hpp>

#include <algorithm>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

SoundCheck::SoundCheck(CheckReport& report)
    : report(report)
{
}

std::string SoundCheck::problemWith(const std::string& path, unsigned* rate, unsigned long long* frames)
{
    std::error_code error;
    const auto status = fs::status(path, error);
    if (!fs::exists(status))
        return "missing";
    if (!ResourceFile::insideResources(path))
        return "outside res/";
    if (!fs::is_regular_file(status))
        return "not a regular file";
    QuietSfml quiet;
    sf::InputSoundFile in;
    if (!in.openFromFile(path))
        return "not a sound the game can read (WAV, Ogg Vorbis or FLAC)";
    if (in.getSampleCount() == 0 || in.getChannelCount() == 0)
        return "holds no sound";
    // Read to the end: a file that breaks off part way would stop short.
    std::vector<sf::Int16> buffer(65536);
    sf::Uint64 read = 0;
    while (true) {
        const sf::Uint64 n = in.read(buffer.data(), buffer.size());
        read += n;
        if (n == 0)
            break;
    }
    if (read < in.getSampleCount())
        return "breaks off after " + std::to_string(read / in.getChannelCount()) + " of its "
               + std::to_string(in.getSampleCount() / in.getChannelCount()) + " samples";
    if (rate)
        *rate = in.getSampleRate();
    if (frames)
        *frames = in.getSampleCount() / in.getChannelCount();
    return "";
}

void SoundCheck::run()
{
    std::error_code error;
    if (!fs::is_directory(SoundSet::folder, error))
        return; // a silent world: nothing to check
    std::vector<std::string> problems;
    const SoundSet set = SoundSet::load(SoundSet::file, &problems);
    const std::string where = std::string(SoundSet::file) + ": ";
    for (std::string& p : problems) {
        if (p.compare(0, where.size(), where) == 0)
            p.erase(0, where.size());
        report.warning(SoundSet::file, p);
    }

    unsigned long long loop = 0;
    for (const std::string& name : set.files()) {
        const std::string path = SoundSet::folder + name;
        unsigned rate = 0;
        unsigned long long frames = 0;
        const std::string problem = problemWith(path, &rate, &frames);
        if (!problem.empty()) {
            report.error(path, problem + "; it stays silent in the game: make it again (make sounds) or name "
                                         "another in " + SoundSet::file);
            continue;
        }
        const bool layer = std::find(set.guildhall.begin(), set.guildhall.end(), name) != set.guildhall.end();
        if ((layer || name == set.title) && rate != 44100)
            report.warning(path, "music at " + std::to_string(rate)
                                     + " Hz; the game plays music at 44100 Hz and converts it roughly: "
                                       "make it at 44100 Hz");
        if (layer) {
            if (loop == 0)
                loop = frames;
            else if (frames != loop)
                report.warning(path, "this layer lasts " + std::to_string(frames) + " samples, the first "
                                         + std::to_string(loop) + ": the layers of a piece play in step, so "
                                           "make them the same length");
        }
    }
}

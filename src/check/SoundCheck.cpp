#include "check/SoundCheck.h"

#include "resources/ResourceFile.h"
#include "audio/SoundFile.h"
#include "audio/SoundSet.h"


#include <algorithm>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

SoundCheck::SoundCheck(CheckReport& report)
    : report(report)
{
}

std::string SoundCheck::problemWith(const std::string& path, unsigned* rate, unsigned long long* frames,
                                    double longest)
{
    std::error_code error;
    const auto status = fs::status(path, error);
    if (!fs::exists(status))
        return "missing";
    if (!ResourceFile::insideResources(path))
        return "outside res/";
    if (!fs::is_regular_file(status))
        return "not a regular file";
    // Measured before it is decoded, as the game reads it.
    SoundFile in;
    if (const std::string why = in.open(path, longest); !why.empty())
        return why;
    if (in.claimed() == 0 || in.channels() == 0)
        return "holds no sound";
    // Read to the end: a file that breaks off part way would stop short.
    const sf::Uint64 read = in.readAll().size();
    if (read < in.claimed())
        return "breaks off after " + std::to_string(read / in.channels()) + " of its "
               + std::to_string(in.claimed() / in.channels()) + " samples";
    if (rate)
        *rate = in.rate();
    if (frames)
        *frames = in.claimed() / in.channels();
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
        const bool music = name == set.title
                           || std::find(set.guildhall.begin(), set.guildhall.end(), name) != set.guildhall.end();
        const std::string problem = problemWith(path, &rate, &frames,
                                                music ? SoundFile::longestMusic : SoundFile::longestEffect);
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

#include "replay/Recording.h"

#include <limits>
#include <sstream>
#include <stdexcept>

namespace {
const char* const magic = "tarnwick-recording 1";
// A run longer than this (about 200 days) is a damaged file, not a game.
constexpr long long longestRun = 1000000000;

bool number(const std::string& word, long long lo, long long hi, long long& value)
{
    if (word.empty() || word.size() > 18)
        return false;
    long long n = 0;
    for (char c : word) {
        if (c < '0' || c > '9')
            return false;
        n = n * 10 + (c - '0');
    }
    if (n < lo || n > hi)
        return false;
    value = n;
    return true;
}
}

void Recording::add(const Keys& keys, const Pad& pad)
{
    if (!runs.empty() && runs.back().keys == keys && runs.back().pad == pad && runs.back().steps < longestRun)
        ++runs.back().steps;
    else
        runs.push_back(Run{1, keys, pad});
}

long long Recording::steps() const
{
    long long total = 0;
    for (const Run& run : runs)
        total += run.steps;
    return total;
}

std::string Recording::header() const
{
    std::string text = std::string(magic) + "\nversion " + version + "\nworld " + world + '\n';
    if (!textSpeed.empty())
        text += "text-speed " + textSpeed + '\n';
    return text;
}

std::string Recording::line(const Run& run)
{
    std::string text = std::to_string(run.steps);
    for (std::size_t k = 0; k < run.keys.size(); ++k)
        if (run.keys[k])
            text += ' ' + std::to_string(k);
    for (std::size_t p = 0; p < run.pad.size(); ++p)
        if (run.pad[p])
            text += " p" + std::to_string(p);
    return text + '\n';
}

std::string Recording::footer() const
{
    return "end " + std::to_string(steps()) + '\n';
}

std::string Recording::toText() const
{
    std::string text = header();
    for (const Run& run : runs)
        text += line(run);
    return text + footer();
}

Recording Recording::parse(std::istream& in)
{
    Recording recording;
    std::string text;
    int number_ = 0;
    auto bad = [&](const std::string& what) {
        return std::runtime_error("line " + std::to_string(number_) + ": " + what);
    };
    bool headerRead = false;
    long long total = 0;
    while (std::getline(in, text)) {
        ++number_;
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        if (number_ == 1) {
            if (text != magic)
                throw std::runtime_error("not a recording of this game");
            continue;
        }
        std::istringstream words(text);
        std::string first;
        if (!(words >> first) || first[0] == '#')
            continue;
        if (recording.complete)
            throw bad("more after the end");
        if (first == "version" || first == "world") {
            std::string value;
            words >> value;
            if (value.empty())
                throw bad(first + " without a value");
            (first == "version" ? recording.version : recording.world) = value;
            headerRead = !recording.version.empty() && !recording.world.empty();
            continue;
        }
        if (first == "text-speed" && recording.runs.empty()) {
            if (!(words >> recording.textSpeed))
                throw bad("text-speed without a value");
            continue;
        }
        if (!headerRead)
            throw bad("steps before the version and world lines");
        if (first == "end") {
            std::string count;
            long long n = 0;
            if (!(words >> count) || !number(count, 0, std::numeric_limits<long long>::max() / 2, n) || n != total)
                throw bad("the end line counts " + count + " steps, the file " + std::to_string(total));
            recording.complete = true;
            continue;
        }
        Run run;
        if (!number(first, 1, longestRun, run.steps))
            throw bad("\"" + first + "\" is not a number of steps (1 to " + std::to_string(longestRun) + ")");
        for (std::string key; words >> key;) {
            long long k = 0;
            if (key[0] == 'p') {
                if (!number(key.substr(1), 0, PadInputs::Count - 1, k))
                    throw bad("\"" + key + "\" is not a pad input (p0 to p" + std::to_string(PadInputs::Count - 1)
                              + ")");
                run.pad.set(static_cast<std::size_t>(k));
                continue;
            }
            if (!number(key, 0, sf::Keyboard::KeyCount - 1, k))
                throw bad("\"" + key + "\" is not a key number (0 to " + std::to_string(sf::Keyboard::KeyCount - 1)
                          + ")");
            run.keys.set(static_cast<std::size_t>(k));
        }
        total += run.steps;
        recording.runs.push_back(run);
    }
    if (number_ == 0)
        throw std::runtime_error("empty file");
    if (!headerRead)
        throw std::runtime_error("no version and world lines");
    return recording;
}

#include "disk/EndingsFile.h"

#include "disk/AtomicFile.h"
#include "disk/SmallTextFile.h"
#include "disk/XdgDirs.h"

#include <iostream>
#include <sstream>

namespace fs = std::filesystem;

EndingsFile::EndingsFile()
    : EndingsFile(defaultFolder())
{
}

EndingsFile::EndingsFile(const fs::path& folder)
    : _file(folder / "endings.txt")
{
    load();
}

fs::path EndingsFile::defaultFolder()
{
    return XdgDirs::dataHome() / "tarnwick";
}

std::string EndingsFile::parse(const std::string& text, std::set<int>& endings)
{
    std::set<int> read;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        const auto first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#')
            continue;
        const auto last = line.find_last_not_of(" \t\r");
        const std::string word = line.substr(first, last - first + 1);
        // Digits only, and few of them: no sign, no overflow.
        const bool digits = word.size() <= 2 && word.find_first_not_of("0123456789") == std::string::npos;
        const int ending = digits ? std::stoi(word) : 0;
        if (ending < 1 || ending > maxEnding)
            return "line " + std::to_string(number) + " is not an ending's number";
        read.insert(ending);
    }
    endings = std::move(read);
    return "";
}

std::string EndingsFile::text(const std::set<int>& endings)
{
    std::string out = "# Endings reached in Tarnwick, one number a line\n";
    for (int ending : endings)
        out += std::to_string(ending) + '\n';
    return out;
}

void EndingsFile::load()
{
    _endings.clear();
    _broken = false;
    std::string contents, problem;
    switch (SmallTextFile::read(_file, maxBytes, contents, problem)) {
    case SmallTextFile::Result::missing:
        return; // no ending reached yet
    case SmallTextFile::Result::read:
        problem = parse(contents, _endings);
        break;
    case SmallTextFile::Result::refused:
        break;
    }
    if (problem.empty())
        return;
    _endings.clear();
    _broken = true;
    std::cerr << "tarnwick: " << _file.string() << ": " << problem
              << "; the endings reached count from none\n";
}

bool EndingsFile::record(int ending, std::string* why)
{
    if (why)
        why->clear();
    if (ending < 1 || ending > maxEnding) {
        if (why)
            *why = "there is no ending " + std::to_string(ending);
        return false;
    }
    const bool fresh = _endings.insert(ending).second;
    if (!fresh && !_broken && !_unsaved)
        return false;
    if (_broken) {
        // Keep the unreadable file: it may be worth mending by hand.
        std::error_code error;
        fs::rename(_file, _file.string() + ".broken", error);
        _broken = false;
    }
    // An ending that could not be written is written with the next one.
    _unsaved = !AtomicFile::write(_file, text(_endings), why);
    return fresh;
}

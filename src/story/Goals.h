#pragma once

#include <array>
#include <map>
#include <string>

// The texts of the goal line and of the closing card, read from the goal file
// (res/txt/goals.ini). The goal line says what to do next in every situation
// of the story: before the first talk with Mr. Stoat, and in each part while
// the warden still wants more livery, once he will let the player by, and once
// the part's table is done.
class Goals {
public:
    static const char* const file;

    // The situations of a part, in the order of `parts`.
    enum Situation { Livery, Table, Report };
    static const char* const situationKeys[3];
    static constexpr int partCount = 3;

    // Reads and checks a goal file. A missing or unreadable file, a syntax
    // error, a missing or empty entry, an unknown entry or an unknown
    // placeholder is reported with the file's name.
    static Goals load(const std::string& path);

    // The goal line for the story counters, placeholders filled in; empty when
    // there is none (the story has ended).
    std::string line(int part, int disguise, int defacedTables) const;
    // Which situation of a part the counters describe.
    static Situation situation(int part, int disguise, int defacedTables);
    // The name of the ending reached with the last answer given to Mr. Stoat;
    // empty when the file names none for it.
    std::string ending(int choice) const;

    std::string start;
    std::array<std::array<std::string, 3>, partCount> parts;
    std::map<int, std::string> endings;
};

#pragma once

#include <SFML/System/Err.hpp>

#include <streambuf>

// While one lives, what SFML writes to its error stream (a line for every
// picture or font it cannot read) goes nowhere: the checks report those
// problems in their own words.
class QuietSfml {
public:
    QuietSfml()
        : saved(sf::err().rdbuf(&nowhere))
    {
    }
    ~QuietSfml()
    {
        sf::err().rdbuf(saved);
        sf::err().clear();
    }
    QuietSfml(const QuietSfml&) = delete;
    QuietSfml& operator=(const QuietSfml&) = delete;

private:
    struct Nowhere : std::streambuf {
        int overflow(int c) override { return c; }
    } nowhere;
    std::streambuf* saved;
};

#pragma once

#include "core/GameState.h"

#include <SFML/System/Time.hpp>

#include <string>

class Goals;

// The closing card, shown over the world once the story has ended: the title,
// the ending reached (and whether it is new) and the time played. After a few
// seconds, or sooner at a key, the game goes back to the title.
class EndingCard : public GameState {
public:
    // The card takes `world` over: it is the game's last state, and the world
    // beneath it is released with it.
    // `ending` is the English the digests tell; `shownEnding`, when given, what
    // the card shows in the player's language.
    EndingCard(GameState* world, std::string ending, sf::Time played, std::string shownEnding = "");
    ~EndingCard() override;

    void update() override;
    void draw() override;

    GameState* below() const override { return world; }
    bool ownsBelow() const override { return true; }
    bool addToPictureDigest(PictureDigest& digest) const override;
    bool addOverStory(std::string& text) const override;
    bool addToStateDigest(std::string& text) const override;

    // The story has ended with `choice` as the last answer. The world opens the
    // card in its next update, once the closing conversation is off the screen.
    static void request(int choice);
    static bool requested;
    static int requestedChoice;
    // Makes a card over `world` the current state, naming the requested ending.
    // With saving on, the ending is recorded among those reached and the save
    // becomes the moment before the last conversation, with the card's time.
    static void open(GameState* world, const Goals& goals, sf::Time played);

    // What the card says about the ending: its name from the goal file, with
    // its number when there are several; `translated`: in the player's language.
    static std::string describe(const Goals& goals, int choice, bool translated = false);
    // "38 s", "4 min 05 s", "1 h 02 min".
    static std::string formatTime(sf::Time played);
    // How long `steps` of the game's logic last (60 a second).
    static sf::Time stepsTime(long long steps);

    GameState* world; // owned
    std::string ending;
    // "A new ending" or "Reached before"; empty when the endings are not kept.
    std::string news;
    std::string shownEnding;
    sf::Time played;
    // Steps the card has been up.
    int shown = 0;
    // How long the card stays, and how long it ignores keys, so that a page
    // turned hastily at the end of the conversation does not close it unseen:
    // 4 s and 0.5 s, in steps.
    int duration = 240;
    int grace = 30;

private:
    void leave();
};

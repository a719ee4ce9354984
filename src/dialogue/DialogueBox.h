#pragma once

#include "core/Entity.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Text.hpp>

#include <deque>
#include <string>

class DialogueTree;
class DialogueState;

// The panel across the bottom of the screen that runs one conversation.
class DialogueBox : public Entity {
public:
    DialogueBox(DialogueTree const* tree, Entity* speaker, DialogueState* state);
    ~DialogueBox() override;

    void update() override;
    void draw() override;
    const sf::String* shownWords() const override { return &message.getString(); }

    void loadFromTree(DialogueTree const* node);
    void loadOptions();

    DialogueTree const* node = nullptr; // not owned
    sf::Text message;
    std::deque<std::string> pages;
    int selection = 0;
    int lastChoice = 0;
    bool optionsShown = false;
    Entity* speaker = nullptr;               // not owned
    DialogueState* dialogueState = nullptr; // not owned
    // How to go on, in the panel's bottom-right corner: "Space" and an arrow
    // while a page or the answers follow, "Space" and a cross on the last
    // page, the answer keys while the answers are shown.
    sf::Text hint;

    static bool _initialized;
    static sf::RectangleShape _box;
    static sf::Font _font;

    // The keys that turn a page (and end a conversation on its last page).
    static bool turnPressed();

private:
    void show(const std::string& page);
    void display(const std::string& words);
    // Shows the page or the answers again when the language has changed.
    void followLanguage();
    void updateHint();

    std::string shownPage;  // in English
    unsigned language = 0;  // Catalogue::generation() when shown
};

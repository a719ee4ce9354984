#pragma once

#include "core/Entity.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Sprite.hpp>
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

    // The panel's layout for a text size, in picture pixels: where its text
    // starts (a margin in from its left edge, or beside the speaker's
    // portrait when there is one), how wide its lines may run (pages are
    // wrapped to it) and its height. The checker measures every page with
    // these same numbers, beside a portrait (the narrower, so that a page
    // fits whoever says it).
    struct Layout {
        unsigned characterSize;
        float height;   // of the panel
        float textLeft; // from the panel's left edge
        float wrapWidth;
    };
    static Layout layout(bool large, bool portrait = true);
    static constexpr float panelWidth = 634;
    static constexpr float textMargin = 10;
    static constexpr float portraitSide = 64;
    float textWidth() const { return layout(laidOutLarge, hasPortrait).wrapWidth; }

    // The speaker's portrait: its facing towards the player from the
    // characters' sheet, doubled. Someone without facings has none.
    bool hasPortrait = false;
    sf::Sprite portrait;

    // The page types itself out: `typed` letters of `message` are drawn so
    // far (the speaker's name at once). The first turn key completes it.
    std::size_t typed = 0;
    bool pageComplete() const { return typed >= message.getString().getSize(); }
    void completePage();
    // The voice sounds with the first letters of a page, then again once at
    // least this many letters and steps have gone by since it last did.
    static constexpr std::size_t blipLetters = 4;
    static constexpr int blipSteps = 6;

private:
    void show(const std::string& page);
    // The panel, the portrait and the text for the text size chosen now.
    void place();
    bool laidOutLarge = false;
    sf::Vector2f bottomLeft; // of the picture, where the panel sits
    void updateHint();
    void startPage(const std::string& page);
    void typeOn();
    void drawMessage();

    std::size_t headingLetters = 0; // the speaker's name and the blank line after it
    int halfLetters = 0;            // typed but not yet a whole letter
    bool voiced = false;            // the voice has sounded on this page
    std::size_t lettersAtBlip = 0;
    int stepsSinceBlip = 0;
    sf::RectangleShape portraitBack;
    void display(const std::string& words);
    // The speaker's name in the player's language.
    std::string shownName() const;
    // Shows the page or the answers again, as the language and the text size
    // chosen now have them.
    void refresh();
    void followLanguage();

    std::string shownPage;  // in English, before wrapping
    unsigned language = 0;  // Catalogue::generation() when shown
};

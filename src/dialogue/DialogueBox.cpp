#include "dialogue/DialogueBox.h"

#include "audio/Audio.h"
#include "characters/Facing.h"
#include "dialogue/DialogueState.h"
#include "dialogue/TextSpeed.h"
#include "dialogueformat/DialogueTree.h"
#include "i18n/Catalogue.h"
#include "core/Game.h"
#include "input/Input.h"
#include "resources/ResourceFile.h"
#include "resources/Utf8.h"
#include "render/WindowText.h"

#include <algorithm>
#include <cmath>

bool DialogueBox::_initialized = false;
sf::RectangleShape DialogueBox::_box;
sf::Font DialogueBox::_font;

DialogueBox::DialogueBox(DialogueTree const* tree, Entity* speaker, DialogueState* state)
    : Entity(sf::Vector2<int>(0, 0))
    , dialogueState(state)
{
    // The panel's size and place come from the view, which always shows the
    // 640 x 480 picture however large the window is.
    const sf::View& view = Game::window.getView();
    const float w = view.getSize().x;
    const float h = view.getSize().y;
    if (!_initialized) {
        _box.setFillColor(sf::Color(0, 50, 200, 255));
        _box.setOutlineColor(sf::Color(0, 25, 100, 255));
        _box.setOutlineThickness(3);
        // Without the font the panel shows no text; a font that is not a
        // regular file (a pipe, a device) is never opened.
        if (ResourceFile::isRegular("res/fnt/LibMono.ttf"))
            _font.loadFromFile("res/fnt/LibMono.ttf");
        _initialized = true;
    }

    const sf::Vector2f centre = view.getCenter();
    bottomLeft = sf::Vector2f(centre.x - w * 0.5f, centre.y + h * 0.5f);
    this->speaker = speaker;
    message.setFont(_font);
    hint.setFont(_font);
    hint.setFillColor(sf::Color(255, 220, 120));
    place();

    loadFromTree(tree);
}

DialogueBox::~DialogueBox() = default;

DialogueBox::Layout DialogueBox::layout(bool large, bool portrait)
{
    Layout l;
    l.characterSize = WindowText::sized(10u, large);
    l.height = large ? 140.f : 100.f;
    l.textLeft = textMargin + (portrait ? portraitSide + textMargin : 0);
    l.wrapWidth = panelWidth - l.textLeft - textMargin;
    return l;
}

void DialogueBox::place()
{
    laidOutLarge = WindowText::large();
    const sf::Texture* face = Facing::frame(speaker, 2); // facing down: out of the screen, at whoever reads
    hasPortrait = face != nullptr;
    const Layout l = layout(laidOutLarge, hasPortrait);
    x = static_cast<int>(bottomLeft.x + 3);
    y = static_cast<int>(bottomLeft.y - l.height - 3);
    _box.setSize(sf::Vector2f(panelWidth, l.height));
    _box.setPosition(static_cast<float>(x), static_cast<float>(y));
    if (hasPortrait) {
        const sf::Vector2f at(static_cast<float>(x) + textMargin, static_cast<float>(y) + (l.height - portraitSide) / 2);
        portrait.setTexture(*face, true);
        portrait.setScale(portraitSide / static_cast<float>(face->getSize().x),
                          portraitSide / static_cast<float>(face->getSize().y));
        portrait.setPosition(at);
        portraitBack.setSize(sf::Vector2f(portraitSide, portraitSide));
        portraitBack.setPosition(at);
        portraitBack.setFillColor(sf::Color(0, 35, 140));
        portraitBack.setOutlineColor(sf::Color(0, 25, 100));
        portraitBack.setOutlineThickness(2);
    }
    message.setPosition(static_cast<float>(x) + l.textLeft, static_cast<float>(y));
    message.setCharacterSize(l.characterSize);
    hint.setCharacterSize(l.characterSize);
}

void DialogueBox::show(const std::string& page)
{
    // A page is kept in English, the speaker's name before it, and shown in
    // the player's language: translating again needs nothing else.
    shownPage = page;
    const std::string heading = (speaker ? speaker->name : std::string()) + "\n\n";
    const bool headed = page.compare(0, heading.size(), heading) == 0;
    const std::string name = headed ? shownName() + "\n\n" : std::string();
    const std::string words = page.substr(headed ? heading.size() : 0);
    headingLetters = Utf8::toSfString(name).getSize();
    display(name + (words.empty() ? words : Catalogue::world(words)));
}

std::string DialogueBox::shownName() const
{
    return speaker && !speaker->name.empty() ? Catalogue::world(speaker->name, "name") : std::string();
}

void DialogueBox::display(const std::string& words)
{
    const Layout l = layout(laidOutLarge, hasPortrait);
    const auto width = [&](const std::string& line) { return WindowText::widthIn(_font, l.characterSize, line); };
    message.setString(Utf8::toSfString(WindowText::wrap(words, l.wrapWidth, width)));
    typed = message.getString().getSize(); // whole at once
    language = Catalogue::generation();
}

void DialogueBox::refresh()
{
    if (optionsShown) {
        const int kept = selection;
        loadOptions();
        selection = kept;
    } else {
        const std::size_t shownSoFar = typed;
        show(shownPage);
        typed = std::min(typed, shownSoFar); // a page typing on goes on typing
        updateHint();
    }
}

void DialogueBox::followLanguage()
{
    if (language != Catalogue::generation())
        refresh();
}

void DialogueBox::startPage(const std::string& page)
{
    show(page);
    halfLetters = 0;
    voiced = false;
    stepsSinceBlip = 0;
    if (TextSpeed::halfLettersPerStep(TextSpeed::current) == 0) {
        Audio::speak(speaker); // a page shown whole sounds once, as it always did
        return;
    }
    typed = lettersAtBlip = std::min(headingLetters, typed);
}

void DialogueBox::completePage()
{
    typed = message.getString().getSize();
}

void DialogueBox::typeOn()
{
    if (pageComplete())
        return;
    const int rate = TextSpeed::halfLettersPerStep(TextSpeed::current);
    if (rate == 0) { // made instant from the pause menu's settings
        completePage();
        return;
    }
    halfLetters += rate;
    typed = std::min(typed + static_cast<std::size_t>(halfLetters / 2), message.getString().getSize());
    halfLetters %= 2;
    ++stepsSinceBlip;
    if (typed > lettersAtBlip && (!voiced || (typed - lettersAtBlip >= blipLetters && stepsSinceBlip >= blipSteps))) {
        Audio::speak(speaker);
        voiced = true;
        lettersAtBlip = typed;
        stepsSinceBlip = 0;
    }
}

void DialogueBox::loadFromTree(DialogueTree const* next)
{
    node = next;
    optionsShown = false;
    selection = 0;
    pages.clear();
    if (dialogueState)
        dialogueState->logPages(node);
    const std::string heading = (speaker ? speaker->name : std::string()) + "\n\n";
    if (node) {
        for (const std::string& line : node->text)
            pages.push_back(heading + line);
    }
    if (pages.empty()) {
        // A node without lines shows the speaker's name alone.
        show(heading);
    } else {
        startPage(pages.front());
        pages.pop_front();
    }
    updateHint();
}

void DialogueBox::loadOptions()
{
    selection = 0;
    std::string list = shownName() + "\n\n";
    int number = 1;
    for (const std::string& option : node->options)
        list += " " + Input::answerLabel(number++) + ". " + Catalogue::world(option) + "\n\n";
    display(list);
    updateHint();
}

void DialogueBox::updateHint()
{
    // The font has a pointer (U+25BA) and a multiplication sign (U+00D7), but
    // no small triangle or ballot cross.
    sf::String text;
    if (optionsShown) {
        // Only the answers that lead somewhere can be chosen.
        int answers = 0;
        while (answers < 3 && static_cast<std::size_t>(answers) < node->options.size()
               && static_cast<std::size_t>(answers) < node->responses.size())
            ++answers;
        const std::string keys[] = {"", "1", tr("1 or 2"), tr("1, 2 or 3")};
        text = Utf8::toSfString(keys[answers]);
    } else if (!pages.empty() || (node && !node->options.empty())) {
        text = Utf8::toSfString(trc("key", "Space") + " ") + sf::String(static_cast<sf::Uint32>(0x25BA));
    } else {
        text = Utf8::toSfString(trc("key", "Space") + " ") + sf::String(static_cast<sf::Uint32>(0x00D7));
    }
    hint.setString(text);
    // In the panel's bottom-right corner, whatever the mark's width.
    const sf::FloatRect size = hint.getLocalBounds();
    hint.setPosition(static_cast<float>(x) + _box.getSize().x - 10 - std::floor(size.left + size.width),
                     static_cast<float>(y) + _box.getSize().y - 16);
}

bool DialogueBox::turnPressed()
{
    return Input::pressed(Action::NextPage);
}

void DialogueBox::update()
{
    followLanguage();
    if (optionsShown && Input::deviceChanged) { // the answers' labels follow the device
        const int kept = selection;
        loadOptions();
        selection = kept;
    }
    if (!turnPressed()) {
        typeOn();
    } else if (!pageComplete()) {
        completePage(); // the rest of the page at once, without a sound
    } else if (!pages.empty()) {
        startPage(pages.front());
        pages.pop_front();
        updateHint();
    } else if (!node || node->options.empty()) {
        Entity* who = speaker;
        DialogueState* state = dialogueState;
        const int choice = lastChoice;
        // The key that ended the talk opens nothing until it is let go
        // and pressed again: players press once more to be sure.
        Input::swallow(Action::NextPage);
        Input::swallow(Action::Talk);
        if (who)
            who->setState(choice);
        if (state)
            state->finished();
        return; // this box belongs to a finished conversation now
    } else if (!optionsShown) {
        optionsShown = true;
        loadOptions();
    }
    if (!optionsShown)
        return;

    int n = 0;
    if (Input::pressed(Action::Answer1))
        n = 1;
    else if (Input::pressed(Action::Answer2))
        n = 2;
    else if (Input::pressed(Action::Answer3))
        n = 3;
    if (n != 0)
        selection = n;
    else
        n = selection;
    if (n == 0)
        return;

    // An option without a response leads nowhere: its key is ignored.
    const std::size_t index = static_cast<std::size_t>(n - 1);
    if (index < node->options.size() && index < node->responses.size()) {
        lastChoice = n;
        if (dialogueState)
            dialogueState->logAnswer(node->options[index]);
        Audio::play(Audio::Cue::Answer);
        loadFromTree(&node->responses[index]);
    }
}

void DialogueBox::draw()
{
    if (!visible)
        return;
    followLanguage(); // the language may change in a menu over the conversation
    if (laidOutLarge != WindowText::large()) { // the text size was changed meanwhile
        place();
        refresh();
    }
    Game::window.draw(_box, sf::RenderStates::Default);
    if (hasPortrait) {
        Game::window.draw(portraitBack, sf::RenderStates::Default);
        Game::window.draw(portrait, sf::RenderStates::Default);
    }
    drawMessage();
    WindowText::draw(hint);
}

void DialogueBox::drawMessage()
{
    if (pageComplete()) {
        WindowText::draw(message);
        return;
    }
    // The message holds the whole page (the digests read it): only its
    // drawing stops at the letters typed so far.
    const sf::String whole = message.getString();
    message.setString(whole.substring(0, typed));
    WindowText::draw(message);
    message.setString(whole);
}

#include "dialogue/DialogueBox.h"

#include "audio/Audio.h"
#include "dialogue/DialogueState.h"
#include "dialogueformat/DialogueTree.h"
#include "i18n/Catalogue.h"
#include "core/Game.h"
#include "input/Input.h"
#include "resources/ResourceFile.h"
#include "resources/Utf8.h"

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
        _box.setSize(sf::Vector2f(w - 6, 100));
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
    x = static_cast<int>(centre.x - w * 0.5f + 3);
    y = static_cast<int>(centre.y - h * 0.5f + (h - 103));

    _box.setPosition(static_cast<float>(x), static_cast<float>(y));
    message.setFont(_font);
    message.setPosition(static_cast<float>(x + 10), static_cast<float>(y));
    message.setCharacterSize(10);
    hint.setFont(_font);
    hint.setCharacterSize(10);
    hint.setFillColor(sf::Color(255, 220, 120));

    this->speaker = speaker;
    loadFromTree(tree);
}

DialogueBox::~DialogueBox() = default;

void DialogueBox::show(const std::string& page)
{
    message.setString(Utf8::toSfString(page));
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
        show(pages.front());
        pages.pop_front();
        Audio::speak(speaker);
    }
    updateHint();
}

void DialogueBox::loadOptions()
{
    selection = 0;
    std::string list = (speaker ? speaker->name : std::string()) + "\n\n";
    int number = 1;
    for (const std::string& option : node->options)
        list += " " + Input::answerLabel(number++) + ". " + option + "\n\n";
    show(list);
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
    if (optionsShown && Input::deviceChanged) { // the answers' labels follow the device
        const int kept = selection;
        loadOptions();
        selection = kept;
    }
    if (turnPressed()) {
        if (!pages.empty()) {
            show(pages.front());
            pages.pop_front();
            updateHint();
            Audio::speak(speaker);
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
    Game::window.draw(_box, sf::RenderStates::Default);
    Game::window.draw(message, sf::RenderStates::Default);
    Game::window.draw(hint, sf::RenderStates::Default);
}

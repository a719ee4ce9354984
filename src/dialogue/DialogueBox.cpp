#include "DialogueBox.h"

#include "Audio.h"
#include "DialogueState.h"
#include "DialogueTree.h"
#include "Game.h"
#include "Input.h"
#include "ResourceFile.h"

#include <locale>

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

    this->speaker = speaker;
    loadFromTree(tree);
}

DialogueBox::~DialogueBox() = default;

void DialogueBox::show(const std::string& page)
{
    message.setString(sf::String(page, std::locale()));
}

void DialogueBox::loadFromTree(DialogueTree const* next)
{
    node = next;
    optionsShown = false;
    selection = 0;
    pages.clear();
    const std::string heading = (speaker ? speaker->name : std::string()) + "\n\n";
    if (node) {
        for (const std::string& line : node->text)
            pages.push_back(heading + line);
    }
    if (pages.empty()) {
        // A node without lines shows the speaker's name alone.
        show(heading);
        return;
    }
    show(pages.front());
    pages.pop_front();
    Audio::speak(speaker);
}

void DialogueBox::loadOptions()
{
    selection = 0;
    std::string list = (speaker ? speaker->name : std::string()) + "\n\n";
    int number = 1;
    for (const std::string& option : node->options)
        list += " " + Input::answerLabel(number++) + ". " + option + "\n\n";
    show(list);
}

void DialogueBox::update()
{
    if (optionsShown && Input::deviceChanged) { // the answers' labels follow the device
        const int kept = selection;
        loadOptions();
        selection = kept;
    }
    if (Input::pressed(Action::NextPage)) {
        if (!pages.empty()) {
            show(pages.front());
            pages.pop_front();
            Audio::speak(speaker);
        } else if (!node || node->options.empty()) {
            Entity* who = speaker;
            DialogueState* state = dialogueState;
            const int choice = lastChoice;
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
}

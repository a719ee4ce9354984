#include "dialogue/TextSpeed.h"

#include "disk/Settings.h"
#include "i18n/Catalogue.h"
#include "screens/SettingsScreen.h"

#include <algorithm>
#include <cstdlib>

TextSpeed::Speed TextSpeed::current = TextSpeed::Speed::Instant;

namespace {
const char* const section = "text";
const char* const key = "speed";
const char* const rowId = "text-speed";
constexpr int speeds = 4;
}

int TextSpeed::halfLettersPerStep(Speed speed)
{
    switch (speed) {
    case Speed::Slow: return 1;
    case Speed::Normal: return 2;
    case Speed::Fast: return 6;
    case Speed::Instant: break;
    }
    return 0;
}

const char* TextSpeed::name(Speed speed)
{
    switch (speed) {
    case Speed::Slow: return "slow";
    case Speed::Normal: return "normal";
    case Speed::Fast: return "fast";
    case Speed::Instant: break;
    }
    return "instant";
}

std::optional<TextSpeed::Speed> TextSpeed::parse(const std::string& word)
{
    for (int i = 0; i < speeds; ++i)
        if (word == name(static_cast<Speed>(i)))
            return static_cast<Speed>(i);
    return std::nullopt;
}

void TextSpeed::load()
{
    // A word the game does not know gives the default, as any setting does.
    current = parse(Settings::get(section, key)).value_or(playerDefault);
    if (const char* value = std::getenv(environmentVariable); value && *value)
        current = parse(value).value_or(current);
}

void TextSpeed::adjust(int step)
{
    const int now = static_cast<int>(current);
    current = static_cast<Speed>(((now + step) % speeds + speeds) % speeds);
    Settings::set(section, key, name(current));
}

std::string TextSpeed::label()
{
    const std::string words[speeds] = {trc("text speed", "slow"), trc("text speed", "normal"),
                                       trc("text speed", "fast"), trc("text speed", "instant")};
    return tr("Text speed") + ": " + words[static_cast<int>(current)];
}

void TextSpeed::addSettingsEntry()
{
    auto& entries = SettingsScreen::entries;
    if (std::none_of(entries.begin(), entries.end(), [](const SettingsScreen::Entry& e) { return e.id == rowId; }))
        entries.push_back({rowId, label, adjust});
}

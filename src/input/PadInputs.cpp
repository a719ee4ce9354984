#include "input/PadInputs.h"

#include "i18n/Catalogue.h"

#include <algorithm>
#include <cctype>

namespace {
const char* const names[] = {"South", "East", "West", "North", "LeftShoulder", "RightShoulder",
                             "Select", "Start", "Home", "LeftStick", "RightStick"};
const char* const xboxLabels[] = {"A", "B", "X", "Y", "LB", "RB", "Back", "Start", "Guide", "LS", "RS"};
const char* const playStationLabels[] = {"Cross", "Circle", "Square", "Triangle", "L1", "R1",
                                         "Share", "Options", "PS", "L3", "R3", "L2", "R2"};
const int named = static_cast<int>(sizeof names / sizeof names[0]);

const char* const directionNames[] = {"DPadUp", "DPadRight", "DPadDown", "DPadLeft",
                                      "StickUp", "StickRight", "StickDown", "StickLeft"};
const char* const directionLabels[] = {N_("D-pad up"), N_("D-pad right"), N_("D-pad down"), N_("D-pad left"),
                                       N_("Stick up"), N_("Stick right"), N_("Stick down"), N_("Stick left")};

// A PlayStation pad's buttons as the Linux driver numbers them: cross,
// circle, triangle, square, L1, R1, L2, R2, share, options, PS, L3, R3.
// Its L2 and R2 come after the buttons an Xbox pad has.
const int playStationButtons[] = {PadInputs::South, PadInputs::East, PadInputs::North, PadInputs::West,
                                  PadInputs::LeftShoulder, PadInputs::RightShoulder, 11, 12,
                                  PadInputs::Select, PadInputs::Start, PadInputs::Home,
                                  PadInputs::LeftStickButton, PadInputs::RightStickButton};

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}
} // namespace

PadInputs::Layout PadInputs::layoutOf(unsigned vendorId)
{
    return vendorId == 0x054c ? Layout::PlayStation : Layout::Xbox; // Sony
}

int PadInputs::fromRaw(unsigned raw, Layout layout)
{
    if (raw >= static_cast<unsigned>(Buttons))
        return None;
    if (layout == Layout::PlayStation && raw < sizeof playStationButtons / sizeof playStationButtons[0])
        return playStationButtons[raw];
    return static_cast<int>(raw);
}

std::string PadInputs::name(int input)
{
    if (input >= 0 && input < named)
        return names[input];
    if (input >= 0 && input < Buttons)
        return "Button" + std::to_string(input);
    if (input >= Buttons && input < Count)
        return directionNames[input - Buttons];
    return "";
}

std::string PadInputs::label(int input, Layout layout)
{
    if (input >= Buttons && input < Count)
        return Catalogue::text(directionLabels[input - Buttons]);
    if (input >= named && input < Buttons && (layout != Layout::PlayStation || input >= 13))
        return fill(tr("Button {number}"), {{"number", std::to_string(input)}});
    return englishLabel(input, layout);
}

std::string PadInputs::englishLabel(int input, Layout layout)
{
    if (input >= Buttons && input < Count)
        return directionLabels[input - Buttons];
    if (layout == Layout::PlayStation && input >= 0 && input < 13)
        return playStationLabels[input];
    if (input >= 0 && input < named)
        return xboxLabels[input];
    if (input >= 0 && input < Buttons)
        return "Button " + std::to_string(input);
    return "";
}

bool PadInputs::parse(const std::string& name, int& input)
{
    const std::string wanted = lower(name);
    for (int i = 0; i < Count; ++i) {
        if (wanted == lower(PadInputs::name(i)) || wanted == lower(englishLabel(i, Layout::Xbox))
            || wanted == lower(englishLabel(i, Layout::PlayStation))) {
            input = i;
            return true;
        }
    }
    return false;
}

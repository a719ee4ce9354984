// Saved games: the whole file as the game reads it, and the story's lines
// under a header and check that hold, so that the fuzzer reaches the story's
// own reader past the check. Whatever is read composes back to a save that
// reads to the same state.
#include "FuzzTree.h"

#include "story/SaveGame.h"
#include "story/StoryState.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void roundTrip(const StoryState& state)
{
    std::string why;
    const auto again = SaveGame::parse(SaveGame::compose(state, "fuzz"), "fuzz", &why);
    if (!again || !(*again == state))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string why;
    if (const auto state = SaveGame::parse(text, "fuzz", &why))
        roundTrip(*state);
    if (const auto story = StoryState::fromText(text, &why)) {
        const std::string save = "# Tarnwick saved game\nformat = " + std::to_string(SaveGame::format)
                                 + "\nworld = fuzz\n" + text + (text.empty() || text.back() == '\n' ? "" : "\n")
                                 + "check = " + story->digest() + "\n";
        if (const auto state = SaveGame::parse(save, "fuzz", &why))
            roundTrip(*state);
    }
    return 0;
}

#include "check/TranslationCheck.h"

#include "check/Checker.h"
#include "check/ConversationCheck.h"
#include "dialogue/DialogueBox.h"
#include "i18n/Catalogue.h"
#include "i18n/PoFile.h"
#include "resources/ResourceFile.h"
#include "story/Goals.h"

#include <algorithm>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace {

std::multiset<std::string> placeholders(const std::string& text)
{
    std::multiset<std::string> found;
    for (std::size_t open = text.find('{'); open != std::string::npos; open = text.find('{', open + 1)) {
        const std::size_t close = text.find('}', open);
        if (close == std::string::npos)
            break;
        found.insert(text.substr(open, close - open + 1));
    }
    return found;
}

std::string listed(const std::multiset<std::string>& names)
{
    std::string text;
    for (const std::string& n : names)
        text += (text.empty() ? "" : ", ") + n;
    return text;
}

// Where a page or answer of a conversation is used, from its references.
std::string conversationFile(const PoFile::Entry& e)
{
    for (const std::string& r : e.references)
        if (r.compare(0, 8, "res/txt/") == 0 && r.find(".xml") != std::string::npos)
            return r.substr(0, r.rfind(':'));
    return std::string();
}

std::string key(const PoFile::Entry& e)
{
    return (e.hasContext ? e.context : std::string()) + '\x04' + e.english;
}

// Restores the catalogue as it was when the check began.
struct TableScope {
    ~TableScope() { Catalogue::useTable({}); }
};

} // namespace

TranslationCheck::TranslationCheck(CheckReport& report, ConversationCheck& conversations)
    : report(report)
    , conversations(conversations)
{
}

void TranslationCheck::run()
{
    std::error_code error;
    std::vector<fs::path> catalogues;
    for (const auto& entry : fs::directory_iterator("po", error))
        if (entry.path().extension() == ".po")
            catalogues.push_back(entry.path());
    std::sort(catalogues.begin(), catalogues.end());
    const std::string templateFile = "po/tarnwick.pot";
    std::string templateText;
    try {
        if (ResourceFile::isRegular(templateFile))
            templateText = ResourceFile::read(templateFile);
    } catch (const std::exception&) {
    }
    for (const fs::path& path : catalogues) {
        const std::string file = path.generic_string();
        try {
            checkCatalogue(file, path.stem().string(), ResourceFile::read(file), templateText);
        } catch (const std::exception& e) {
            report.error(file, std::string(e.what()) + ": the game cannot read this translation: correct it (msgfmt --check "
                                   + file + " shows where)");
        }
    }
}

void TranslationCheck::checkCatalogue(const std::string& file, const std::string& language, const std::string& text,
                                      const std::string& templateText)
{
    std::vector<PoFile::Entry> entries;
    try {
        entries = PoFile::parse(text);
    } catch (const std::runtime_error& e) {
        report.error(file, std::string(e.what()) + ": not a catalogue: correct it (msgfmt --check shows where)");
        return;
    }
    std::set<std::string> present;
    int translated = 0, fuzzy = 0, missing = 0;
    Catalogue::Table table;
    for (const PoFile::Entry& e : entries) {
        present.insert(key(e));
        if (e.translation.empty()) {
            ++missing;
            continue;
        }
        if (e.fuzzy) {
            ++fuzzy; // the game shows the English until a translator confirms it
            continue;
        }
        ++translated;
        const std::multiset<std::string> wanted = placeholders(e.english), given = placeholders(e.translation);
        std::multiset<std::string> lost, added;
        std::set_difference(wanted.begin(), wanted.end(), given.begin(), given.end(), std::inserter(lost, lost.end()));
        std::set_difference(given.begin(), given.end(), wanted.begin(), wanted.end(), std::inserter(added, added.end()));
        if (!lost.empty())
            report.warning(file, "the translation of \"" + e.english + "\" loses " + listed(lost)
                                     + ": the number it stands for is missing: put it back", e.line);
        if (!added.empty())
            report.warning(file, "the translation of \"" + e.english + "\" adds " + listed(added)
                                     + ", which the English does not have: take it out (the game shows the English "
                                       "instead)", e.line);
        table[{e.hasContext ? e.context : std::string(), e.english}] = e.translation;

        // A page as the panel shows it, with the speaker's name above it.
        const std::string conversation = conversationFile(e);
        if (!e.hasContext && !conversation.empty() && conversations.measures()) {
            for (const bool large : {false, true}) {
                const DialogueBox::Layout panel = DialogueBox::layout(large);
                const sf::Vector2f size
                    = conversations.measure(conversations.speaker(conversation) + "\n\n" + e.translation, large);
                if (size.x <= panel.wrapWidth && size.y <= panel.height)
                    continue;
                report.warning(file, "the " + language + " text of \"" + e.english + "\" (" + conversation
                                         + ") does not fit the panel" + (large ? " at the large text size" : "")
                                         + ": " + std::to_string(static_cast<int>(size.x)) + " x "
                                         + std::to_string(static_cast<int>(size.y)) + " pixels, room for "
                                         + std::to_string(static_cast<int>(panel.wrapWidth)) + " x "
                                         + std::to_string(static_cast<int>(panel.height))
                                         + ": make it shorter", e.line);
                break;
            }
        }
    }
    if (!templateText.empty()) {
        try {
            for (const PoFile::Entry& e : PoFile::parse(templateText))
                if (!present.count(key(e)))
                    ++missing;
        } catch (const std::runtime_error&) {
            // make pot writes the template again
        }
    }
    report.note("language " + language + " (" + file + "): " + std::to_string(translated) + " translated, "
                + std::to_string(fuzzy) + " fuzzy, " + std::to_string(missing) + " missing");

    // Every goal line of the story, as the game shows it in this language.
    if (table.empty() || !ResourceFile::isRegular(Goals::file))
        return;
    try {
        const Goals goals = Goals::load(Goals::file);
        Catalogue::useTable(std::move(table));
        TableScope restore;
        Checker::measureGoalLines(report, goals, file, language);
    } catch (const std::exception&) {
        // the goal file's own check reports it
    }
}

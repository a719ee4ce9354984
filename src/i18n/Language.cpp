#include "i18n/Language.h"

#include "disk/Settings.h"
#include "i18n/Catalogue.h"

#include <algorithm>
#include <cstdlib>
#include <map>

namespace {

bool english(const std::string& name)
{
    return name == "C" || name == "POSIX" || name == "en" || name.compare(0, 3, "en_") == 0
           || name.compare(0, 3, "en.") == 0 || name.compare(0, 3, "en@") == 0;
}

void addUnique(std::vector<std::string>& list, const std::string& name)
{
    if (!name.empty() && std::find(list.begin(), list.end(), name) == list.end())
        list.push_back(name);
}

} // namespace

std::vector<std::string> Language::variants(const std::string& locale)
{
    std::string name = locale, modifier;
    if (const std::size_t at = name.find('@'); at != std::string::npos) {
        modifier = name.substr(at);
        name.erase(at);
    }
    if (const std::size_t dot = name.find('.'); dot != std::string::npos)
        name.erase(dot);
    const std::string language = name.substr(0, name.find('_'));
    std::vector<std::string> out;
    if (!modifier.empty())
        addUnique(out, name + modifier);
    addUnique(out, name);
    if (!modifier.empty())
        addUnique(out, language + modifier);
    addUnique(out, language);
    return out;
}

std::vector<std::string> Language::fromEnvironment(const std::function<const char*(const char*)>& get)
{
    const auto value = [&get](const char* name) {
        const char* v = get(name);
        return std::string(v ? v : "");
    };
    std::string locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (!(locale = value(name)).empty())
            break;
    if (locale == "C" || locale == "POSIX" || locale.compare(0, 2, "C.") == 0)
        return {};
    std::vector<std::string> wanted;
    std::string list = value("LANGUAGE");
    if (list.empty())
        list = locale;
    std::size_t from = 0;
    while (from <= list.size()) {
        const std::size_t colon = std::min(list.find(':', from), list.size());
        const std::string entry = list.substr(from, colon - from);
        from = colon + 1;
        if (entry.empty())
            continue;
        if (english(entry))
            break;
        for (const std::string& name : variants(entry))
            addUnique(wanted, name);
    }
    return wanted;
}

std::vector<std::string> Language::fromEnvironment()
{
    return fromEnvironment([](const char* name) { return std::getenv(name); });
}

std::vector<std::string> Language::wanted(const std::string& setting)
{
    if (setting.empty() || setting == automatic)
        return fromEnvironment();
    if (english(setting))
        return {};
    return variants(setting);
}

bool Language::englishOnly = false;

void Language::apply(const std::string& setting)
{
    Catalogue::use(englishOnly ? std::vector<std::string>() : wanted(setting));
}

std::string Language::setting()
{
    return Settings::get("language", "language", automatic);
}

void Language::step(int step)
{
    const std::vector<std::string> all = choices();
    const auto at = std::find(all.begin(), all.end(), setting());
    const long count = static_cast<long>(all.size());
    const long from = at == all.end() ? 0 : at - all.begin();
    const std::string next = all[static_cast<std::size_t>(((from + step) % count + count) % count)];
    Settings::set("language", "language", next);
    apply(next);
}

std::vector<std::string> Language::choices()
{
    std::vector<std::string> out{automatic, "en"};
    for (const std::string& code : Catalogue::available())
        if (code != pseudo && !english(code))
            out.push_back(code);
    return out;
}

std::string Language::ownName(const std::string& code)
{
    static const std::map<std::string, std::string> names = {
        {"ca", "Català"},   {"cs", "Čeština"},    {"da", "Dansk"},      {"de", "Deutsch"},    {"el", "Ελληνικά"},
        {"en", "English"},  {"eo", "Esperanto"},  {"es", "Español"},    {"fi", "Suomi"},      {"fr", "Français"},
        {"hu", "Magyar"},   {"it", "Italiano"},   {"ja", "日本語"},     {"nb", "Norsk bokmål"}, {"nl", "Nederlands"},
        {"pl", "Polski"},   {"pt", "Português"},  {"pt_BR", "Português (Brasil)"}, {"ru", "Русский"},
        {"sv", "Svenska"},  {"tr", "Türkçe"},     {"uk", "Українська"}, {"zh_CN", "中文（简体）"}};
    const auto found = names.find(code);
    return found != names.end() ? found->second : code;
}

#include "deinstall/DeinstallTexts.h"

#include <cstdio>
#include <map>
#include <string_view>
#include <utility>

#include "files/LibNode.h"
#include "lib/LibString.h"
#include "locale/CatalogueSource.h"
#include "locale/EmbeddedSource.h"
#include "ui/CommandLineTexts.h"

namespace deinstall_catalogue {
struct EmbeddedSource {
    const char* language;
    std::string_view bytes;
};
extern const EmbeddedSource kEmbeddedSources[];
extern const int kEmbeddedSourceCount;
} // namespace deinstall_catalogue

namespace {

const char* const kLanguages[] = {"en", "fr", "es", "de", "it", "no", "sv", "da", "nl", "pt"};

using TextTable = std::map<std::pair<std::string, int32>, std::string>;

struct Loaded {
    TextTable texts;
    std::string problems;
};

const Loaded& Catalogue() {
    static const Loaded loaded = [] {
        Loaded result;
        for (int i = 0; i < deinstall_catalogue::kEmbeddedSourceCount; i++) {
            const auto& source = deinstall_catalogue::kEmbeddedSources[i];
            catalogue::ReadResult read = catalogue::ReadSource(UnpackEmbeddedSource(source.bytes));
            if (!read.ok) {
                result.problems += std::string(source.language) + ".po: " + read.error + "\n";
                continue;
            }
            for (const catalogue::Entry& entry : read.entries)
                result.texts[{source.language, entry.id}] = entry.text;
        }
        return result;
    }();
    return loaded;
}

const std::string* Find(const std::string& language, int32 id) {
    const TextTable& texts = Catalogue().texts;
    auto found = texts.find({language, id});
    return found == texts.end() ? nullptr : &found->second;
}

} // namespace

DeinstallTexts::DeinstallTexts(const std::string& language)
    : fLanguage(IsLanguage(language) ? language : "en") {}

bool DeinstallTexts::IsLanguage(const std::string& code) {
    for (const char* known : kLanguages) {
        if (code == known)
            return true;
    }
    return false;
}

std::string DeinstallTexts::Get(int32 id) const {
    const std::string* english = Find("en", id);
    const std::string* text = Find(fLanguage, id);
    if (text == nullptr || text->empty())
        return english != nullptr ? *english : std::string();
    // A translation that would read other arguments than the English text is not used.
    if (english != nullptr && catalogue::Conversions(*text) != catalogue::Conversions(*english))
        return *english;
    return *text;
}

std::string DeinstallTexts::Format(int32 id, const std::string& value) const {
    std::string format = Get(id);
    if (catalogue::Conversions(format) != "%s")
        return format;
    std::string result;
    size_t at = 0;
    while (at < format.size()) {
        size_t percent = format.find('%', at);
        if (percent == std::string::npos || percent + 1 >= format.size()) {
            result += format.substr(at);
            break;
        }
        result += format.substr(at, percent - at);
        char next = format[percent + 1];
        result += next == 's' ? value : next == '%' ? std::string("%") : format.substr(percent, 2);
        at = percent + 2;
    }
    return result;
}

std::string DeinstallTexts::Fill(int32 id, const std::vector<std::string>& values) const {
    return FillText(Get(id), values);
}

std::string DeinstallTexts::Progress(int index, int total, const std::string& name) const {
    // Asked for every entry a run removes: the text is looked up and checked once.
    if (fProgressFormat.empty()) {
        fProgressFormat = Get(kTextProgress);
        if (catalogue::Conversions(fProgressFormat) != "%d%d%s")
            fProgressFormat = "Removing %d of %d (%s)";
    }
    const std::string& format = fProgressFormat;
    int size = std::snprintf(nullptr, 0, format.c_str(), index, total, name.c_str());
    if (size < 0)
        return name;
    std::string result(size_t(size) + 1, '\0');
    std::snprintf(result.data(), result.size(), format.c_str(), index, total, name.c_str());
    result.resize(size_t(size));
    return result;
}

std::string DeinstallTexts::LanguageOf(const char* path) {
    LibNode node(path);
    LibString code;
    if (node.InitCheck() != B_OK || node.ReadStringAttr("language", code) < 0)
        return "en";
    std::string language = static_cast<const char*>(code);
    return IsLanguage(language) ? language : "en";
}

std::string DeinstallTexts::CheckSources() {
    std::string problems = Catalogue().problems;
    std::vector<int32> ids;
    for (int32 id = kTextRemove; id <= kTextDamaged; id++)
        ids.push_back(id);
    for (int32 id = kTextUsage; id <= kTextFolderReplaced; id++)
        ids.push_back(id);
    ids.push_back(kTextSignatureMismatch);
    for (const char* language : kLanguages) {
        for (int32 id : ids) {
            const std::string* text = Find(language, id);
            const std::string* english = Find("en", id);
            std::string where = std::string(language) + ":" + std::to_string(id);
            if (text == nullptr || text->empty())
                problems += where + " is missing\n";
            else if (english != nullptr &&
                     catalogue::Conversions(*text) != catalogue::Conversions(*english))
                problems += where + " has other conversions than the English text\n";
        }
    }
    return problems;
}

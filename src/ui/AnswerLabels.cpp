#include "ui/AnswerLabels.h"

#include <algorithm>

#include "locale/Catalogue.h"
#include "locale/xLocalize.h"
#include "ui/ReplaceTexts.h"

namespace {

// Catalogue ids of buttons: the requirement questions (Abort, Continue), the installation
// folder question (Cancel, Replace, OK), the launch offer, the restart question, and the
// question after a run that did not complete (Undo, Keep).
constexpr int32 kButtonTextIds[] = {1011, 1015, 1016, 1017, 1018, 1019,
                                    1028, 1029, 1030, 1121, 1122};

void AddOnce(std::vector<std::string>& labels, const std::string& label) {
    if (!label.empty() && std::find(labels.begin(), labels.end(), label) == labels.end())
        labels.push_back(label);
}

void AddLanguage(std::vector<std::string>& labels, const char* language) {
    // The catalogue itself: choosing a language on an xLocalize would store it.
    for (int32 id : kButtonTextIds) {
        const char* text = catalogue::BuiltinText(language, id);
        AddOnce(labels, text != nullptr ? text : "");
    }
    const ReplaceTexts& replace = ReplaceTextsFor(language);
    AddOnce(labels, replace.dontReplace);
    AddOnce(labels, replace.replace);
}

} // namespace

std::vector<std::string> InstallerButtonLabels(const char* language) {
    // The alert functions' one button.
    std::vector<std::string> labels = {"OK"};
    if (language != nullptr && xLocalize::LanguageIndex(language) >= 0)
        AddLanguage(labels, language);
    AddLanguage(labels, "en");
    return labels;
}

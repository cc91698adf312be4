// An answers file as an unattended run reads it: parsed with the installer's keys, then
// every value, toggle and answer used the way the run uses them.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ui/AnswersFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    AnswersFile answers;
    AnswersFileError error;
    if (!answers.Parse(text, AnswersFile::InstallerKeys(), &error)) {
        if (error.line <= 0 || error.message.empty())
            __builtin_trap();
        return 0;
    }

    for (const std::string& key : AnswersFile::InstallerKeys())
        if (auto value = answers.Value(key))
            UnknownNameMessage("unknown value", *value, {"Typical", "Full", "Minimal"});
    for (const FileToggle& toggle : answers.FileToggles())
        if (toggle.leaf.empty())
            __builtin_trap();

    const std::vector<std::string> buttons = {"Replace", "Skip", "Rename", "Cancel"};
    answers.CheckAnswerLabels(buttons);
    while (const AlertAnswer* next = answers.PeekAnswer()) {
        const std::string expected = next->choice;
        std::optional<AlertAnswer> answer = answers.NextAnswer();
        if (!answer || answer->choice != expected)
            __builtin_trap();
        int button = AnswersFile::ButtonFor(*answer, buttons);
        if (button < -1 || button >= int(buttons.size()))
            __builtin_trap();
    }
    return 0;
}

#include "ui/CommandLine.h"

#include <cstdlib>
#include <cstring>

#include "lib/LibNearestName.h"
#include "ui/CommandLineTexts.h"

CommandLine::CommandLine(std::vector<OptionSpec> known, std::string language)
    : fKnown(std::move(known)), fLanguage(std::move(language)) {}

const OptionSpec* CommandLine::Find(const std::string& name) const {
    for (const OptionSpec& spec : fKnown)
        if (name == spec.name)
            return &spec;
    return nullptr;
}

bool CommandLine::Parse(int argc, const char* const* argv) {
    fValues.clear();
    fOrder.clear();
    fError.clear();
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i] != nullptr ? argv[i] : "";
        if (word.size() < 3 || word.compare(0, 2, "--") != 0) {
            fError = CommandLineText(fLanguage, kCliUnexpectedArgument, {word});
            return false;
        }
        std::string name = word.substr(2);
        std::optional<std::string> value;
        if (size_t equals = name.find('='); equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.erase(equals);
        }
        const OptionSpec* spec = Find(name);
        if (spec == nullptr) {
            std::vector<std::string> names;
            for (const OptionSpec& known : fKnown)
                names.push_back(known.name);
            auto nearest = LibNearestName(name, names);
            fError = nearest ? CommandLineText(fLanguage, kCliUnknownOptionNear, {name, *nearest})
                             : CommandLineText(fLanguage, kCliUnknownOption, {name});
            return false;
        }
        if (!spec->takesValue && value) {
            fError = CommandLineText(fLanguage, kCliTakesNoValue, {name});
            return false;
        }
        if (spec->takesValue && !value) {
            if (i + 1 >= argc || argv[i + 1] == nullptr) {
                fError = CommandLineText(fLanguage, kCliNeedsValue, {name});
                return false;
            }
            value = argv[++i];
        }
        if (spec->takesValue && value->empty()) {
            fError = CommandLineText(fLanguage, kCliNeedsValue, {name});
            return false;
        }
        fOrder.push_back(name);
        fValues[name] = value.value_or("");
    }
    return true;
}

bool CommandLine::Has(const std::string& name) const {
    return fValues.count(name) != 0;
}

std::optional<std::string> CommandLine::Value(const std::string& name) const {
    auto it = fValues.find(name);
    if (it == fValues.end())
        return std::nullopt;
    return it->second;
}

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

} // namespace

std::string FrontendOptions::AnswersPath() const {
    return answers ? *answers : Environment("TARNW_ANSWERS");
}

std::string FrontendOptions::TranscriptPath() const {
    return transcript ? *transcript : Environment("TARNW_TRANSCRIPT");
}

const char* FrontendOptions::RequestedFrontend() const {
    return frontend ? frontend->c_str() : std::getenv("TARNW_FRONTEND");
}

std::vector<OptionSpec> FrontendOptions::Specs() {
    return {{"answers", true}, {"transcript", true}, {"frontend", true}};
}

bool FrontendOptions::Read(const CommandLine& line, std::string& error) {
    answers = line.Value("answers");
    transcript = line.Value("transcript");
    if (auto value = line.Value("frontend")) {
        if (*value != "gui" && *value != "console" && *value != "unattended") {
            auto nearest = LibNearestName(*value, {"gui", "console", "unattended"});
            error = nearest ? CommandLineText(line.Language(), kCliUnknownFrontendNear,
                                              {*value, *nearest})
                            : CommandLineText(line.Language(), kCliUnknownFrontend, {*value});
            return false;
        }
        frontend = value;
    }
    return true;
}

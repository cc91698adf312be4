#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include "support/Sandbox.h"

namespace engine_test {

using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

FrontendAnswer RecordingFrontend::Ask(const FrontendRequest& request) {
    requests.push_back(request);
    if (!request.waits || answers.empty())
        return FrontendAnswer{};
    FrontendAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

PackageBuilder::PackageBuilder() {
    config.AddString("release_date", "2026-12-01");
    config.AddString("support_email", "help@example.com");
    config.AddBool("opt_log", true);
}

fs::path MakeTree(const std::string& hint,
                  const std::vector<std::pair<std::string, std::string>>& files) {
    fs::path folder = Sandbox::MakeFolder(hint);
    for (const auto& [relative, contents] : files)
        WriteFile(folder / relative, contents);
    return folder;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

} // namespace engine_test

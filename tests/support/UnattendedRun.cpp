#include "support/UnattendedRun.h"

#include <sstream>

#include "support/Process.h"
#include "support/Sandbox.h"

namespace tarnw::test {

UnattendedRun RunUnattended(const std::filesystem::path& program, const std::string& answers) {
    std::filesystem::path folder = Sandbox::MakeFolder("run");
    WriteFile(folder / "answers", answers);
    auto result =
        RunProgram({program.string()}, "",
                   {"TARNW_FRONTEND=unattended", "TARNW_ANSWERS=" + (folder / "answers").string(),
                    "TARNW_TRANSCRIPT=" + (folder / "transcript").string()});
    UnattendedRun run{result.status, result.output, {}};
    std::istringstream lines(ReadFile(folder / "transcript"));
    std::string line;
    while (std::getline(lines, line))
        run.transcript.push_back(nlohmann::json::parse(line));
    return run;
}

} // namespace tarnw::test

#pragma once

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace tarnw::test {

struct UnattendedRun {
    int status = -1;
    std::string output;
    std::vector<nlohmann::json> transcript; // one object per line of $TARNW_TRANSCRIPT
};

// Runs an installer or deinstaller with TARNW_FRONTEND=unattended and the given answers,
// and reads back its transcript.
UnattendedRun RunUnattended(const std::filesystem::path& program, const std::string& answers);

} // namespace tarnw::test

#pragma once

// Parses manifest text as JSON, refusing a key given twice in one object. nlohmann::json
// alone keeps one of the two values silently, so a packager's second "destination" would
// win or lose unnoticed.

#include <string>

#include <nlohmann/json.hpp>

namespace tarnw::pack {

// Throws ManifestError naming the repeated key ("files[2].link: key given twice") or
// the JSON syntax error.
nlohmann::json ParseStrictJson(const std::string& text);

} // namespace tarnw::pack

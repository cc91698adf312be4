#pragma once

// Parses manifest text as JSON, refusing a key given twice in one object. nlohmann::json
// alone keeps one of the two values silently, so a packager's second "destination" would
// win or lose unnoticed.

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace tarnw::pack {

// Throws ManifestError naming the repeated key ("files[2].link: key given twice") or
// the JSON syntax error.
nlohmann::json ParseStrictJson(const std::string& text);

// A string value. The configuration stores C strings, so a NUL in it is refused rather
// than cutting the text silently. Throws ManifestError naming `where` ("files[2].link: must
// be a string").
std::string JsonString(const nlohmann::json& value, const std::string& where);
// An array of such strings; an element is named `where[i]`.
std::vector<std::string> JsonStringArray(const nlohmann::json& value, const std::string& where);

} // namespace tarnw::pack

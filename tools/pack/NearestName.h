#pragma once

// Finds the valid name a misspelt one probably meant, for error messages such as
// "unknown folder 'Common Bins'; did you mean 'Common Bin'?".

#include <string>
#include <vector>

namespace tarnw::pack {

// The candidate closest to `given` (letter case ignored), or "" when none is close
// enough to be a likely slip of the keyboard.
std::string NearestName(const std::string& given, const std::vector<std::string>& candidates);

// "; did you mean 'X'?" for the nearest candidate, or "" when there is none.
std::string DidYouMean(const std::string& given, const std::vector<std::string>& candidates);

} // namespace tarnw::pack

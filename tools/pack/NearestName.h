#pragma once

// "; did you mean 'Common Bin'?" after a misspelt name in the manifest's messages.

#include <string>
#include <vector>

namespace tarnw::pack {

// "; did you mean 'X'?" for the candidate a slip of the keyboard probably meant, or "" when
// none is close enough (lib/LibNearestName.h says how close).
std::string DidYouMean(const std::string& given, const std::vector<std::string>& candidates);

} // namespace tarnw::pack

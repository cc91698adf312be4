#pragma once

// The valid name a mistyped one probably meant, for messages such as
// "unknown key 'licence'; did you mean 'license'?".

#include <optional>
#include <string>
#include <vector>

// Edit distance between two texts (insertions, deletions, substitutions and swaps of two
// neighbouring bytes each count one), ignoring ASCII case.
size_t LibEditDistance(const std::string& a, const std::string& b);

// The candidate closest to `given`, when one is close enough to be a slip of the keyboard:
// at most a third of the longer name's length away, and at most 3 edits. None otherwise,
// and none for an exact match.
std::optional<std::string> LibNearestName(const std::string& given,
                                          const std::vector<std::string>& candidates);

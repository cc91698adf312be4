#include "NearestName.h"

#include "lib/LibNearestName.h"

namespace tarnw::pack {

std::string DidYouMean(const std::string& given, const std::vector<std::string>& candidates) {
    std::optional<std::string> nearest = LibNearestName(given, candidates);
    return nearest ? "; did you mean '" + *nearest + "'?" : std::string();
}

} // namespace tarnw::pack

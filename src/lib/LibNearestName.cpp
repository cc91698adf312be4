#include "lib/LibNearestName.h"

#include <algorithm>
#include <cctype>

namespace {

char Lower(char c) {
    return char(std::tolower(static_cast<unsigned char>(c)));
}

} // namespace

size_t LibEditDistance(const std::string& a, const std::string& b) {
    // Optimal string alignment distance over three rolling rows.
    const size_t n = a.size();
    const size_t m = b.size();
    std::vector<size_t> before(m + 1), previous(m + 1), current(m + 1);
    for (size_t j = 0; j <= m; ++j)
        previous[j] = j;
    for (size_t i = 1; i <= n; ++i) {
        current[0] = i;
        for (size_t j = 1; j <= m; ++j) {
            size_t cost = Lower(a[i - 1]) == Lower(b[j - 1]) ? 0 : 1;
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost});
            if (i > 1 && j > 1 && Lower(a[i - 1]) == Lower(b[j - 2]) &&
                Lower(a[i - 2]) == Lower(b[j - 1]))
                current[j] = std::min(current[j], before[j - 2] + 1);
        }
        before.swap(previous);
        previous.swap(current);
    }
    return previous[m];
}

std::optional<std::string> LibNearestName(const std::string& given,
                                          const std::vector<std::string>& candidates) {
    std::optional<std::string> best;
    size_t bestDistance = 0;
    for (const std::string& candidate : candidates) {
        if (candidate == given)
            return std::nullopt;
        size_t distance = LibEditDistance(given, candidate);
        size_t longer = std::max(given.size(), candidate.size());
        if (distance > 3 || distance * 3 > longer)
            continue;
        if (!best || distance < bestDistance) {
            best = candidate;
            bestDistance = distance;
        }
    }
    return best;
}

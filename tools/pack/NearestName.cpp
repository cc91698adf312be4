#include "NearestName.h"

#include <algorithm>
#include <cctype>

namespace tarnw::pack {

namespace {

std::string Lower(const std::string& text) {
    std::string lower = text;
    for (char& c : lower)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// Edits (insertions, deletions, substitutions) between two texts.
size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

} // namespace

std::string NearestName(const std::string& given, const std::vector<std::string>& candidates) {
    // Names are short; a third of the length (at least two edits) catches a slip
    // without offering an unrelated name.
    const std::string wanted = Lower(given);
    const size_t allowed = std::max<size_t>(2, wanted.size() / 3);
    std::string best;
    size_t bestDistance = allowed + 1;
    for (const auto& candidate : candidates) {
        size_t distance = EditDistance(wanted, Lower(candidate));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = candidate;
        }
    }
    return best;
}

std::string DidYouMean(const std::string& given, const std::vector<std::string>& candidates) {
    std::string nearest = NearestName(given, candidates);
    return nearest.empty() ? std::string() : "; did you mean '" + nearest + "'?";
}

} // namespace tarnw::pack

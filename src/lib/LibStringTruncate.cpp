// LibString::Truncate: fitting a string into a pixel width with an ellipsis.

#include "lib/LibString.h"

#include <string>
#include <vector>

#include "platform/interface/Font.h"
#include "platform/interface/Rect.h"

int32 LibString::Truncate(const BFont& font, const int& maxWidth, BRect& rect) {
    int32 length = Length();
    if (length == 0 || (int32)font.StringWidth(fText) < maxWidth)
        return length;

    // Cut at character boundaries, so that a multi-byte character is never split; for
    // ASCII text this is one byte at a time.
    std::vector<int32> starts;
    for (int32 i = 0; i < length;) {
        starts.push_back(i);
        int32 bytes = CharBytes((unsigned char)fText[i]);
        i += bytes < length - i ? bytes : length - i;
    }
    size_t characters = starts.size() - 1; // drop the last character first
    std::string candidate;
    auto build = [&](size_t keep) {
        int32 bytes = keep < starts.size() ? starts[keep] : length;
        candidate.assign(fText, (size_t)bytes);
        candidate += "...";
        return bytes;
    };
    int32 kept = build(characters);
    while (characters > 1 && (int32)font.StringWidth(candidate.c_str()) >= maxWidth)
        kept = build(--characters);

    rect.left = 0;
    rect.right = kept > 0 ? (float)(int32)font.StringWidth(fText, kept) : 0;
    Store(candidate.data(), (int32)candidate.size());
    return length - kept;
}

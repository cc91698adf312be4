// Measures and truncates arbitrary bytes as text (names and catalogue texts reach the
// font as they are). The first two bytes choose the mode and the width; every result must
// fit the width and stay within the buffer contract of GetTruncatedStrings.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/interface/Font.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    uint32 mode = data[0] % 5; // 4 is an unknown mode
    float width = (float)data[1] * 2 - 20;
    std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
    text.resize(std::strlen(text.c_str()));

    BFont font(be_plain_font);
    font.SetFace(data[0] & 0x80 ? B_BOLD_FACE : B_REGULAR_FACE);
    float full = font.StringWidth(text.c_str());
    if (!(full >= 0))
        std::abort();
    std::string cut = font.TruncatedString(text.c_str(), mode, width);
    if (full <= width && cut != text)
        std::abort();
    // Nothing at all is the answer when not even the ellipsis fits.
    if (full > width && font.StringWidth(cut.c_str()) > (width < 0 ? 0 : width))
        std::abort();
    if (cut.size() > text.size() + B_TRUNCATION_EXTRA_BYTES)
        std::abort();

    std::vector<char> buffer(text.size() + B_TRUNCATION_EXTRA_BYTES + 1);
    const char* in[] = {text.c_str()};
    char* out[] = {buffer.data()};
    font.GetTruncatedStrings(in, 1, mode, width, out);
    if (std::strlen(buffer.data()) >= buffer.size())
        std::abort();
    return 0;
}

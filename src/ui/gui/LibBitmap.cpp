#include "ui/gui/LibBitmap.h"

#include <cstring>
#include <vector>

#include "platform/interface/gui/FileIcons.h"
#include "platform/storage/Entry.h"
#include "platform/storage/Node.h"
#include "platform/storage/Path.h"

namespace {

// The icons a node may carry itself, as the file manager stores them: raw palette pixels.
const char* IconAttribute(icon_size size) {
    return size == B_MINI_ICON ? "BEOS:M:STD_ICON" : "BEOS:L:STD_ICON";
}

type_code IconType(icon_size size) {
    return size == B_MINI_ICON ? 'MICN' : 'ICON';
}

} // namespace

LibBitmap::LibBitmap(BRect bounds, color_space space, bool acceptsViews, bool needsContiguousMemory)
    : BBitmap(bounds, space, acceptsViews, needsContiguousMemory) {}

LibBitmap::LibBitmap(BRect bounds, const void* bits, color_space space, bool acceptsViews,
                     bool needsContiguousMemory)
    : BBitmap(bounds, space, acceptsViews, needsContiguousMemory) {
    if (bits != nullptr && IsValid())
        SetBits(bits, PaletteBytesFor(bounds), 0, B_CMAP8);
}

LibBitmap::LibBitmap(BMessage* archive) : BBitmap(archive) {}

LibBitmap::~LibBitmap() {}

int32 LibBitmap::PaletteBytesFor(BRect bounds) {
    int32 width = (int32)(bounds.right - bounds.left + 1);
    int32 height = (int32)(bounds.bottom - bounds.top + 1);
    if (width <= 0 || height <= 0)
        return 0;
    return ((width + 3) & ~3) * height;
}

bool LibBitmap::SetTo(BNode& node, icon_size size) {
    if (node.InitCheck() != B_OK || !IsValid())
        return false;
    if (PixelWidth() != (int32)size || PixelHeight() != (int32)size)
        return false;
    // The node's own icon first, then the one for its kind.
    std::vector<uint8> own((size_t)size * size);
    ssize_t read = node.ReadAttr(IconAttribute(size), IconType(size), 0, own.data(), own.size());
    if (read == (ssize_t)own.size()) {
        SetBits(own.data(), (int32)own.size(), 0, B_CMAP8);
        return true;
    }
    BBitmap icon(Bounds(), ColorSpace());
    if (FileIcons::GetIcon(node.Path(), &icon, size) != B_OK)
        return false;
    std::memcpy(Bits(), icon.Bits(), (size_t)BitsLength());
    return true;
}

bool LibBitmap::SetTo(const BEntry& entry, icon_size size) {
    BPath path;
    if (entry.InitCheck() != B_OK || entry.GetPath(&path) != B_OK)
        return false;
    return SetTo(path.Path(), size);
}

bool LibBitmap::SetTo(const char* path, icon_size size) {
    if (path == nullptr || *path == '\0')
        return false;
    BNode node(path);
    return SetTo(node, size);
}

#include "package/FileIcon.h"

#include <cstring>

#include "platform/app/Message.h"
#include "platform/interface/Rect.h"
#include "platform/storage/Node.h"

namespace {

constexpr const char* kMiniIconAttribute = "BEOS:M:STD_ICON";
constexpr type_code kMiniIconType = 'MICN';
// Archives with rows wider than this are not icons.
constexpr int32 kMaxBytesPerRow = 4096;

} // namespace

FileIcon::FileIcon() {
    MakeBlank();
}

void FileIcon::MakeBlank() {
    memset(fBits, kTransparent, sizeof(fBits));
}

bool FileIcon::IsBlank() const {
    for (uint8 pixel : fBits) {
        if (pixel != kTransparent)
            return false;
    }
    return true;
}

bool FileIcon::SetFromArchive(const BMessage& archive) {
    BRect frame;
    int32 colorSpace = 0;
    int32 bytesPerRow = 0;
    const void* data = nullptr;
    ssize_t size = 0;
    if (archive.FindRect("_frame", &frame) != B_OK ||
        archive.FindInt32("_cspace", &colorSpace) != B_OK ||
        archive.FindInt32("_rowbytes", &bytesPerRow) != B_OK ||
        archive.FindData("_data", B_RAW_TYPE, &data, &size) != B_OK || data == nullptr)
        return false;
    if (frame.Width() != kSize - 1 || frame.Height() != kSize - 1 || colorSpace != kColorSpace)
        return false;
    if (bytesPerRow < kBytesPerRow || bytesPerRow > kMaxBytesPerRow)
        return false;
    // The last row needs only its pixels, not its padding.
    const ssize_t needed = static_cast<ssize_t>(bytesPerRow) * (kSize - 1) + kBytesPerRow;
    if (size < needed)
        return false;
    const uint8* source = static_cast<const uint8*>(data);
    for (int32 row = 0; row < kSize; ++row)
        memcpy(fBits + row * kBytesPerRow, source + row * bytesPerRow, kBytesPerRow);
    return true;
}

void FileIcon::Archive(BMessage& archive) const {
    archive.AddString("class", "LibBitmap");
    archive.AddRect("_frame", BRect(0, 0, kSize - 1, kSize - 1));
    archive.AddInt32("_cspace", kColorSpace);
    archive.AddInt32("_bmflags", 1);
    archive.AddInt32("_rowbytes", kBytesPerRow);
    archive.AddData("_data", B_RAW_TYPE, fBits, sizeof(fBits));
}

bool FileIcon::SetFromNode(const char* path) {
    if (path == nullptr || *path == '\0')
        return false;
    BNode node(path);
    if (node.InitCheck() != B_OK)
        return false;
    attr_info info;
    if (node.GetAttrInfo(kMiniIconAttribute, &info) != B_OK || info.size != kDataSize)
        return false;
    uint8 bits[kDataSize];
    if (node.ReadAttr(kMiniIconAttribute, kMiniIconType, 0, bits, sizeof(bits)) != kDataSize)
        return false;
    memcpy(fBits, bits, sizeof(fBits));
    return true;
}

bool FileIcon::operator==(const FileIcon& other) const {
    return memcmp(fBits, other.fBits, sizeof(fBits)) == 0;
}

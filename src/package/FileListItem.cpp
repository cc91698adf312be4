#include "package/FileListItem.h"

#include <climits>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "files/LibFileOps.h"
#include "platform/app/Message.h"
#include "platform/app/Roster.h"
#include "platform/interface/Font.h"
#include "platform/storage/Entry.h"

namespace {

constexpr const char* kFileName = "file_name";
constexpr const char* kFileType = "file_type";
constexpr const char* kFileSize = "file_size";
constexpr const char* kCreation = "file_creation";
constexpr const char* kModified = "file_modified";
constexpr const char* kAccessed = "file_accessed";
constexpr const char* kIcon = "file_icon";

// Space the row keeps free right of its text.
constexpr float kRightMargin = 14;
constexpr float kScrollMargin = 7;

} // namespace

FileListItem::FileListItem(const bool& indented, const bool& showFullPath)
    : fShowFullPath(showFullPath), fIndented(indented), fType(kFile), fTruncateMode(kNoTruncation),
      fHeight(kRowHeight) {
    SetDisplayText();
}

FileListItem::FileListItem(const char* path, const bool& indented, const bool& showFullPath)
    : fShowFullPath(showFullPath), fIndented(indented), fType(kFile), fTruncateMode(kNoTruncation),
      fHeight(kRowHeight) {
    SetPath(path);
}

FileListItem::FileListItem(const FileListItem& other, const bool& indented)
    : fShowFullPath(other.fShowFullPath), fIndented(indented), fIcon(other.fIcon),
      fPath(other.fPath), fType(other.fType), fTruncateMode(kNoTruncation), fHeight(kRowHeight) {
    SetDisplayText();
}

FileListItem::~FileListItem() {}

void FileListItem::SetPath(const char* path) {
    fIcon.SetFromNode(path);
    fPath = path != nullptr ? path : "";
    SetDisplayText();
}

void FileListItem::SetType(const FileType& type) {
    fType = type;
}

void FileListItem::SetShowFullPath(const bool& show) {
    fShowFullPath = show;
    SetDisplayText();
}

void FileListItem::SetTruncateMode(const uint32& mode) {
    fTruncateMode = mode;
    SetDisplayText();
}

void FileListItem::SetDisplayText() {
    fDisplayText = fShowFullPath ? fPath.String() : Leaf();
}

const char* FileListItem::Leaf() const {
    const char* path = fPath.String();
    if (path == nullptr)
        return "";
    const char* slash = strrchr(path, '/');
    return slash != nullptr ? slash + 1 : path;
}

void FileListItem::Update(float ownerWidth, const BFont* font) {
    fHeight = kRowHeight;
    if (fTruncateMode == kNoTruncation || font == nullptr)
        return;
    const float width = ownerWidth - Left() - kRightMargin - kScrollMargin;
    std::string text = fDisplayText.String();
    // The mode numbers of the row are the platform's truncation modes.
    font->TruncateString(&text, fTruncateMode, width < 0 ? 0 : width);
    fDisplayText = text.c_str();
}

void FileListItem::SplitDisplayText(LibString& folderPart, LibString& rest) const {
    const char* text = fDisplayText.String();
    const char* slash = text != nullptr ? strrchr(text, '/') : nullptr;
    if (slash == nullptr) {
        folderPart = "";
        rest = text != nullptr ? text : "";
        return;
    }
    folderPart = std::string(text, static_cast<size_t>(slash - text)).c_str();
    rest = slash;
}

bool FileListItem::Execute() const {
    entry_ref ref;
    if (get_ref_for_path(fPath.String(), &ref) != B_OK)
        return false;
    BRoster roster;
    return roster.Launch(&ref) == B_OK;
}

void FileListItem::Write(BMessage& record) {
    record.AddString(kFileName, fPath.String());
    record.AddInt8(kFileType, static_cast<int8>(fType));

    // The record keeps 32 bits; an item beyond that shows the largest size rather than
    // a wrapped, negative one.
    const int64 size = fPath.Length() > 0 ? LibEntrySize(fPath.String(), true) : 0;
    record.AddInt32(kFileSize, size > INT32_MAX ? INT32_MAX : static_cast<int32>(size));

    time_t creation = 0;
    time_t modified = 0;
    time_t accessed = 0;
    BEntry entry(fPath.String(), false);
    if (entry.InitCheck() == B_OK) {
        entry.GetCreationTime(&creation);
        entry.GetModificationTime(&modified);
        entry.GetAccessTime(&accessed);
    }
    record.AddInt64(kCreation, static_cast<int64>(creation));
    record.AddInt64(kModified, static_cast<int64>(modified));
    record.AddInt64(kAccessed, static_cast<int64>(accessed));

    BMessage icon;
    fIcon.Archive(icon);
    record.AddMessage(kIcon, &icon);
}

void FileListItem::Read(BMessage& record) {
    const char* path = nullptr;
    if (record.FindString(kFileName, &path) == B_OK && path != nullptr)
        fPath = path;
    int8 type = 0;
    // A kind this program does not know is shown as a plain file.
    if (record.FindInt8(kFileType, &type) == B_OK)
        fType = type >= kFile && type <= kLink ? static_cast<FileType>(type) : kFile;
    BMessage icon;
    if (record.FindMessage(kIcon, &icon) == B_OK)
        fIcon.SetFromArchive(icon);
    SetDisplayText();
}

FileListItem::FileType FileListItem::DetectType(const char* path) {
    struct stat st;
    if (path != nullptr && lstat(path, &st) == 0 && S_ISLNK(st.st_mode))
        return kLink;
    if (path == nullptr || stat(path, &st) != 0)
        return kFile;
    if (S_ISDIR(st.st_mode))
        return kFolder;
    if (!S_ISREG(st.st_mode) || (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) == 0)
        return kFile;
    // An executable program, not a script.
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return kFile;
    char magic[4] = {0, 0, 0, 0};
    const ssize_t got = read(fd, magic, sizeof(magic));
    close(fd);
    return got == 4 && memcmp(magic,
                              "\x7f"
                              "ELF",
                              4) == 0
               ? kApplication
               : kFile;
}

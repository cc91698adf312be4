#pragma once

#include "lib/LibString.h"
#include "package/FileIcon.h"
#include "platform/support/SupportDefs.h"

class BFont;
class BMessage;

// One file of a file list: its path, kind and small icon, and the text its row shows.
// It reads and writes the file fields of an "install_file" record.
//
// This class holds no widget and draws nothing: the window's list row derives from it
// (together with the platform's list item) and draws with the layout constants below.
class FileListItem {
public:
    // Symbolic links are told apart only by installers built since links had a type of
    // their own; earlier ones call them by what they point to.
    enum FileType : int8 { kFile = 0, kApplication = 1, kFolder = 2, kLink = 3 };

    // Row layout, in pixels.
    static constexpr float kRowHeight = 18;
    static constexpr float kIndentedLeft = 16;
    static constexpr float kPlainLeft = 3;
    static constexpr float kTextOffset = 21;   // text starts at left + 21
    static constexpr float kBaselineInset = 4; // baseline at frame bottom - 4
    static constexpr float kIconTopInset = 1;  // icon at (left - 1, frame top + 1)

    // Truncation modes (the platform's): 0 never shortens.
    static constexpr uint32 kNoTruncation = 0;
    static constexpr uint32 kTruncateBeginning = 1;

    FileListItem(const bool& indented = true, const bool& showFullPath = false);
    FileListItem(const char* path, const bool& indented, const bool& showFullPath);
    // Copies full-path flag, type, path and icon; the indent comes from the argument
    // and the copy does not truncate.
    FileListItem(const FileListItem& other, const bool& indented);
    virtual ~FileListItem();

    // Sets the path (as given: not normalised, links not followed), takes the entry's
    // small icon when it has one, and recomputes the display text.
    void SetPath(const char* path);
    void SetType(const FileType& type);
    void SetShowFullPath(const bool& show);
    void SetTruncateMode(const uint32& mode);
    // The display text becomes the whole path or its leaf, untruncated.
    void SetDisplayText();

    const char* Path() const { return fPath; }
    // The text after the last '/' of the path (the whole path when it holds none).
    const char* Leaf() const;
    FileType Type() const { return fType; }
    bool ShowFullPath() const { return fShowFullPath; }
    bool Indented() const { return fIndented; }
    uint32 TruncateMode() const { return fTruncateMode; }
    const char* DisplayText() const { return fDisplayText; }
    const FileIcon& Icon() const { return fIcon; }
    FileIcon& Icon() { return fIcon; }
    float Height() const { return fHeight; }

    // Left edge of the row's drawing: 16 indented, 3 otherwise.
    float Left() const { return fIndented ? kIndentedLeft : kPlainLeft; }

    // Fits the row to a list whose frame is ownerWidth wide: the row height becomes
    // 18 and, unless the mode is 0, the display text is replaced by the font's
    // truncation of it to ownerWidth - Left() - 14 - 7.
    virtual void Update(float ownerWidth, const BFont* font);

    // For a full-path row: the part up to the last '/' (drawn grey) and the part from
    // that '/' on (drawn black). Without a '/' everything is in `rest`.
    void SplitDisplayText(LibString& folderPart, LibString& rest) const;

    // Starts the file through the application roster; false when it could not.
    bool Execute() const;

    // The file fields of a record: "file_name", "file_type", "file_size" (the entry's
    // size on disk with its attributes), the three times, "file_icon".
    virtual void Write(BMessage& record);
    // Takes "file_name", "file_type" and "file_icon" when present, then sets the
    // display text (untruncated).
    virtual void Read(BMessage& record);

    // The kind of the entry at path: symbolic link, folder, application (an executable
    // program) or plain file. A missing entry is a plain file.
    static FileType DetectType(const char* path);

private:
    bool fShowFullPath;
    bool fIndented;
    FileIcon fIcon;
    LibString fPath;
    FileType fType;
    LibString fDisplayText;
    uint32 fTruncateMode;
    float fHeight;
};

#pragma once

// The icons the file manager shows for a node, built into the program: folder,
// application, text, script, image, archive, symbolic link and plain file, at 16 and 32
// pixels. Icons are drawn on a transparent background.

#include "platform/storage/Mime.h"
#include "platform/support/SupportDefs.h"

class BBitmap;

enum file_icon_kind {
    B_FOLDER_FILE_ICON,
    B_APPLICATION_FILE_ICON,
    B_TEXT_FILE_ICON,
    B_SCRIPT_FILE_ICON,
    B_IMAGE_FILE_ICON,
    B_ARCHIVE_FILE_ICON,
    B_SYMLINK_FILE_ICON,
    B_PLAIN_FILE_ICON,
    B_VOLUME_FILE_ICON,
};

class FileIcons {
public:
    static file_icon_kind KindForType(const char* mimeType);
    // From the node itself: links and folders by their kind, files by their sniffed type.
    // A path that does not exist gives B_ENTRY_NOT_FOUND and leaves kind alone.
    static status_t KindForPath(const char* path, file_icon_kind* kind);
    // Draws the icon into icon, which must be size x size pixels (B_CMAP8, B_RGB32 or
    // B_RGBA32); the bitmap is cleared to transparent first.
    static status_t Draw(file_icon_kind kind, BBitmap* icon, icon_size size);
    static status_t GetIcon(const char* path, BBitmap* icon, icon_size size);
    static status_t GetIconForType(const char* mimeType, BBitmap* icon, icon_size size);
};

#include "platform/interface/gui/FileIcons.h"

#include <sys/stat.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "platform/interface/gui/Bitmap.h"
#include "platform/interface/gui/BitmapPainter.h"
#include "platform/storage/MimeType.h"

namespace {

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

const rgb_color kBlack = {0, 0, 0, 255};
const rgb_color kWhite = {255, 255, 255, 255};
const rgb_color kGrey = {152, 152, 152, 255};

// Drawing on a 32-unit grid, scaled to the icon's size.
class IconPen {
public:
    IconPen(BBitmap* icon, float scale) : fPainter(icon), fScale(scale) {}
    BRect R(float l, float t, float r, float b) const {
        return BRect(std::floor(l * fScale), std::floor(t * fScale), std::floor(r * fScale),
                     std::floor(b * fScale));
    }
    BPoint P(float x, float y) const {
        return BPoint(std::floor(x * fScale), std::floor(y * fScale));
    }
    void Fill(float l, float t, float r, float b, rgb_color c) {
        fPainter.FillRect(R(l, t, r, b), c, B_OP_COPY);
    }
    void Frame(float l, float t, float r, float b, rgb_color c) {
        BRect rect = R(l, t, r, b);
        fPainter.StrokeLine(rect.LeftTop(), rect.RightTop(), c, 1, B_OP_COPY);
        fPainter.StrokeLine(rect.RightTop(), rect.RightBottom(), c, 1, B_OP_COPY);
        fPainter.StrokeLine(rect.RightBottom(), rect.LeftBottom(), c, 1, B_OP_COPY);
        fPainter.StrokeLine(rect.LeftBottom(), rect.LeftTop(), c, 1, B_OP_COPY);
    }
    void Line(float x0, float y0, float x1, float y1, rgb_color c) {
        fPainter.StrokeLine(P(x0, y0), P(x1, y1), c, 1, B_OP_COPY);
    }
    void Triangle(float x0, float y0, float x1, float y1, float x2, float y2, rgb_color c) {
        fPainter.FillTriangle(P(x0, y0), P(x1, y1), P(x2, y2), c, B_OP_COPY);
    }
    void Ellipse(float l, float t, float r, float b, rgb_color c) {
        fPainter.FillEllipse(R(l, t, r, b), c, B_OP_COPY);
    }

private:
    BitmapPainter fPainter;
    float fScale;
};

// A sheet of paper with a folded corner, the base of the document icons.
void Page(IconPen& pen, rgb_color paper) {
    pen.Fill(6, 2, 22, 29, paper);
    pen.Fill(6, 9, 25, 29, paper);
    pen.Triangle(22, 2, 22, 9, 25, 9, paper);
    pen.Line(6, 2, 22, 2, kBlack);
    pen.Line(22, 2, 25, 6, kBlack);
    pen.Line(25, 6, 25, 29, kBlack);
    pen.Line(25, 29, 6, 29, kBlack);
    pen.Line(6, 29, 6, 2, kBlack);
    pen.Line(21, 3, 21, 7, kGrey);
    pen.Line(21, 7, 24, 7, kGrey);
}

void TextLines(IconPen& pen, float from, float to) {
    for (float y = from; y <= to; y += 3)
        pen.Line(9, y, 22, y, rgb_color{96, 96, 96, 255});
}

} // namespace

file_icon_kind FileIcons::KindForType(const char* mimeType) {
    std::string type = mimeType ? mimeType : "";
    for (char& c : type)
        c = (char)std::tolower((unsigned char)c);
    if (type == "application/x-vnd.be-directory" || type == "inode/directory")
        return B_FOLDER_FILE_ICON;
    if (type == "application/x-vnd.be-volume")
        return B_VOLUME_FILE_ICON;
    if (type == "application/x-vnd.be-symlink" || type == "inode/symlink")
        return B_SYMLINK_FILE_ICON;
    if (type == "application/x-vnd.be-elfexecutable" || StartsWith(type, "application/x-vnd.") ||
        type == "application/x-executable" || type == "application/x-sharedlib" ||
        type == "application/x-pie-executable")
        return B_APPLICATION_FILE_ICON;
    if (Contains(type, "script") || Contains(type, "x-sh") || Contains(type, "x-perl") ||
        Contains(type, "x-python") || Contains(type, "x-csh"))
        return B_SCRIPT_FILE_ICON;
    if (StartsWith(type, "text/"))
        return B_TEXT_FILE_ICON;
    if (StartsWith(type, "image/"))
        return B_IMAGE_FILE_ICON;
    if (Contains(type, "zip") || Contains(type, "tar") || Contains(type, "compress") ||
        Contains(type, "archive") || Contains(type, "x-xz") || Contains(type, "x-7z") ||
        Contains(type, "x-rar") || Contains(type, "bzip"))
        return B_ARCHIVE_FILE_ICON;
    return B_PLAIN_FILE_ICON;
}

status_t FileIcons::KindForPath(const char* path, file_icon_kind* kind) {
    if (!path || !kind)
        return B_BAD_VALUE;
    struct stat st;
    if (lstat(path, &st) != 0)
        return B_ENTRY_NOT_FOUND;
    if (S_ISLNK(st.st_mode)) {
        *kind = B_SYMLINK_FILE_ICON;
    } else if (S_ISDIR(st.st_mode)) {
        *kind = B_FOLDER_FILE_ICON;
    } else {
        BMimeType type;
        if (BMimeType::GuessMimeType(path, &type) == B_OK && type.Type())
            *kind = KindForType(type.Type());
        else
            *kind = B_PLAIN_FILE_ICON;
        if (*kind == B_PLAIN_FILE_ICON && (st.st_mode & S_IXUSR))
            *kind = B_APPLICATION_FILE_ICON;
    }
    return B_OK;
}

status_t FileIcons::Draw(file_icon_kind kind, BBitmap* icon, icon_size size) {
    if (!icon || !icon->IsValid())
        return B_BAD_VALUE;
    if (icon->PixelWidth() != (int32)size || icon->PixelHeight() != (int32)size)
        return B_BAD_VALUE;
    color_space space = icon->ColorSpace();
    if (space != B_CMAP8 && space != B_RGB32 && space != B_RGBA32)
        return B_BAD_TYPE;
    for (int32 y = 0; y < (int32)size; y++)
        for (int32 x = 0; x < (int32)size; x++)
            icon->SetColorAt(x, y, rgb_color{0x77, 0x74, 0x77, 0});
    IconPen pen(icon, (float)(int32)size / 32.0f);
    switch (kind) {
    case B_FOLDER_FILE_ICON:
    case B_VOLUME_FILE_ICON: {
        rgb_color body = kind == B_FOLDER_FILE_ICON ? rgb_color{255, 203, 0, 255}
                                                    : rgb_color{184, 184, 184, 255};
        rgb_color dark = kind == B_FOLDER_FILE_ICON ? rgb_color{204, 153, 0, 255}
                                                    : rgb_color{128, 128, 128, 255};
        pen.Fill(3, 6, 13, 9, dark);
        pen.Frame(3, 6, 13, 9, kBlack);
        pen.Fill(2, 9, 29, 26, body);
        pen.Frame(2, 9, 29, 26, kBlack);
        pen.Line(3, 10, 28, 10, kWhite);
        if (kind == B_VOLUME_FILE_ICON)
            pen.Fill(22, 21, 26, 23, rgb_color{0, 204, 0, 255});
        break;
    }
    case B_APPLICATION_FILE_ICON:
        pen.Triangle(16, 2, 2, 16, 16, 30, rgb_color{51, 102, 204, 255});
        pen.Triangle(16, 2, 30, 16, 16, 30, rgb_color{0, 51, 153, 255});
        pen.Line(16, 2, 2, 16, kBlack);
        pen.Line(2, 16, 16, 30, kBlack);
        pen.Line(16, 30, 30, 16, kBlack);
        pen.Line(30, 16, 16, 2, kBlack);
        pen.Ellipse(12, 12, 20, 20, kWhite);
        break;
    case B_TEXT_FILE_ICON:
        Page(pen, kWhite);
        TextLines(pen, 12, 26);
        break;
    case B_SCRIPT_FILE_ICON:
        Page(pen, kWhite);
        pen.Fill(8, 11, 23, 27, rgb_color{0, 0, 0, 255});
        pen.Line(10, 14, 13, 17, rgb_color{0, 255, 0, 255});
        pen.Line(13, 17, 10, 20, rgb_color{0, 255, 0, 255});
        pen.Line(15, 21, 20, 21, rgb_color{0, 255, 0, 255});
        break;
    case B_IMAGE_FILE_ICON:
        Page(pen, kWhite);
        pen.Fill(8, 11, 23, 26, rgb_color{153, 204, 255, 255});
        pen.Triangle(8, 26, 14, 16, 20, 26, rgb_color{0, 153, 51, 255});
        pen.Triangle(14, 26, 19, 19, 23, 26, rgb_color{0, 102, 51, 255});
        pen.Ellipse(17, 12, 21, 16, rgb_color{255, 203, 0, 255});
        break;
    case B_ARCHIVE_FILE_ICON:
        pen.Fill(4, 8, 27, 28, rgb_color{204, 153, 102, 255});
        pen.Frame(4, 8, 27, 28, kBlack);
        pen.Fill(4, 4, 27, 8, rgb_color{153, 102, 51, 255});
        pen.Frame(4, 4, 27, 8, kBlack);
        for (float y = 5; y <= 26; y += 3)
            pen.Fill(14, y, 17, y + 1, rgb_color{96, 96, 96, 255});
        break;
    case B_SYMLINK_FILE_ICON:
        Page(pen, kWhite);
        pen.Fill(8, 18, 18, 27, kWhite);
        pen.Line(9, 26, 16, 19, kBlack);
        pen.Triangle(12, 19, 17, 19, 17, 24, kBlack);
        pen.Frame(8, 18, 18, 27, kBlack);
        break;
    case B_PLAIN_FILE_ICON:
        Page(pen, rgb_color{240, 240, 240, 255});
        break;
    }
    // A small icon carries the large one, for screens that draw it larger.
    if (size < B_LARGE_ICON) {
        auto detail =
            std::make_shared<BBitmap>(BRect(0, 0, B_LARGE_ICON - 1, B_LARGE_ICON - 1), B_RGBA32);
        if (Draw(kind, detail.get(), B_LARGE_ICON) == B_OK)
            icon->SetDetail(std::move(detail));
    }
    return B_OK;
}

status_t FileIcons::GetIcon(const char* path, BBitmap* icon, icon_size size) {
    file_icon_kind kind;
    status_t status = KindForPath(path, &kind);
    if (status != B_OK)
        return status;
    return Draw(kind, icon, size);
}

status_t FileIcons::GetIconForType(const char* mimeType, BBitmap* icon, icon_size size) {
    return Draw(KindForType(mimeType), icon, size);
}

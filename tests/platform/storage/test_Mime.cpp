#include <gtest/gtest.h>

#include <cstring>
#include <sys/xattr.h>

#include "platform/app/Message.h"
#include "platform/storage/AppFileInfo.h"
#include "platform/storage/Entry.h"
#include "platform/storage/File.h"
#include "platform/storage/Mime.h"
#include "platform/storage/Node.h"
#include "platform/storage/NodeInfo.h"
#include "support/Sandbox.h"

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

std::string Sniff(const fs::path& path) {
    entry_ref ref;
    if (get_ref_for_path(path.c_str(), &ref) != B_OK)
        return "<no ref>";
    BMimeType type;
    if (BMimeType::GuessMimeType(&ref, &type) != B_OK)
        return "<error>";
    return type.Type();
}

std::string SniffBytes(const std::string& bytes) {
    BMimeType type;
    BMimeType::GuessMimeType(bytes.data(), static_cast<int32>(bytes.size()), &type);
    return type.Type();
}

} // namespace

TEST(Sniffer, NamesNodesByKindAndContent) {
    fs::path root = Sandbox::MakeFolder("sniff");
    fs::create_directory(root / "folder");
    fs::copy_file("/bin/true", root / "program");
    fs::create_symlink(root / "program", root / "link");
    WriteFile(root / "script", "#!/bin/sh\necho hi\n");
    WriteFile(root / "env-script", "#!/usr/bin/env python3\nprint(1)\n");
    WriteFile(root / "notes", "Plain words, UTF-8: \xc3\xa9t\xc3\xa9.\n");
    WriteFile(root / "page.html", "just text in an html file\n");
    WriteFile(root / "binary", std::string("\x01\x02\x00\x03garbage", 11));
    WriteFile(root / "empty.txt", "");

    EXPECT_EQ(Sniff(root / "folder"), "application/x-vnd.Be-directory");
    EXPECT_EQ(Sniff(root / "program"), "application/x-vnd.Be-elfexecutable");
    EXPECT_EQ(Sniff(root / "link"), "application/x-vnd.Be-symlink");
    EXPECT_EQ(Sniff(root / "script"), "application/x-shellscript");
    EXPECT_EQ(Sniff(root / "env-script"), "text/x-python");
    EXPECT_EQ(Sniff(root / "notes"), "text/plain");
    EXPECT_EQ(Sniff(root / "page.html"), "text/html");
    EXPECT_EQ(Sniff(root / "binary"), "application/octet-stream");
    EXPECT_EQ(Sniff(root / "empty.txt"), "text/plain");
}

TEST(Sniffer, KnowsCommonFormatsByTheirFirstBytes) {
    std::string tar(512, '\0');
    memcpy(&tar[0], "file.txt", 8);
    memcpy(&tar[257], "ustar", 5);
    std::string bmp = std::string("BM") + std::string(4, '\x10') + std::string(8, '\0') +
                      std::string("\x28\0\0\0", 4) + std::string(12, '\0');
    struct {
        std::string bytes;
        const char* type;
    } cases[] = {
        {"\x89PNG\r\n\x1a\n rest", "image/png"},
        {"\xff\xd8\xff\xe0 JFIF", "image/jpeg"},
        {"GIF89a....", "image/gif"},
        {bmp, "image/bmp"},
        {std::string("II*\0rest", 8), "image/tiff"},
        {std::string("PK\x03\x04\x14\0\0\0", 8), "application/zip"},
        {"\x1f\x8b\x08\0", "application/gzip"},
        {"BZh91AY&SY", "application/x-bzip2"},
        {std::string("\xfd"
                     "7zXZ\0\0",
                     7),
         "application/x-xz"},
        {tar, "application/x-tar"},
        {std::string("RIFF\x24\0\0\0WAVEfmt ", 16), "audio/x-wav"},
        {"OggS\0\x02", "audio/ogg"},
        {"fLaC\0\0\0\x22", "audio/flac"},
        {"ID3\x03\0\0\0", "audio/mpeg"},
        {"MThd\0\0\0\x06", "audio/midi"},
        {"%PDF-1.7\n", "application/pdf"},
        {"  <!DOCTYPE HTML>\n<html>", "text/html"},
        {"<?xml version=\"1.0\"?>", "text/xml"},
        {"\x7f"
         "ELF\x02\x01\x01",
         "application/x-vnd.Be-elfexecutable"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SniffBytes(c.bytes), c.type) << c.type;
    // OpenDocument names its own type in the archive's first entry.
    std::string odt = std::string("PK\x03\x04", 4) + std::string(26, '\0') + "mimetype" +
                      "application/vnd.oasis.opendocument.text" + "PK";
    odt[18] = 39; // stored size of the "mimetype" entry
    EXPECT_EQ(SniffBytes(odt), "application/vnd.oasis.opendocument.text");
    // Bytes cut in the middle of a UTF-8 sequence are still text when read from a file.
    EXPECT_EQ(SniffBytes("caf\xc3"), "application/octet-stream");
}

TEST(MimeInfo, NodesWithoutAStoredTypeHaveTheTypeTheirContentShows) {
    fs::path root = Sandbox::MakeFolder("mimeset");
    WriteFile(root / "docs/readme.txt", "hello\n");
    fs::copy_file("/bin/true", root / "docs/tool");
    fs::create_symlink("readme.txt", root / "docs/alias");

    ASSERT_EQ(update_mime_info((root / "docs").c_str(), true, true, B_UPDATE_MIME_INFO_NO_FORCE),
              B_OK);
    EXPECT_LT(getxattr((root / "docs/readme.txt").c_str(), "user.mime_type", nullptr, 0), 0);
    char type[B_MIME_TYPE_LENGTH];
    BNode tool((root / "docs/tool").c_str());
    ASSERT_EQ(BNodeInfo(&tool).GetType(type), B_OK);
    EXPECT_STREQ(type, "application/x-vnd.Be-elfexecutable");
    BNode folder((root / "docs").c_str());
    ASSERT_EQ(BNodeInfo(&folder).GetType(type), B_OK);
    EXPECT_STREQ(type, "application/x-vnd.Be-directory");

    // A chosen type is stored as the freedesktop attribute and wins over the content;
    // without force it stays, with force the content decides again and the stored type
    // goes.
    BNode readme((root / "docs/readme.txt").c_str());
    BNodeInfo readmeInfo(&readme);
    ASSERT_EQ(readmeInfo.GetType(type), B_OK);
    EXPECT_STREQ(type, "text/plain");
    ASSERT_EQ(readmeInfo.SetType("text/x-tarnw"), B_OK);
    char value[64] = {};
    ASSERT_EQ(getxattr((root / "docs/readme.txt").c_str(), "user.mime_type", value, sizeof value),
              12);
    EXPECT_STREQ(value, "text/x-tarnw");
    update_mime_info((root / "docs/readme.txt").c_str(), false, true, B_UPDATE_MIME_INFO_NO_FORCE);
    readmeInfo.GetType(type);
    EXPECT_STREQ(type, "text/x-tarnw");
    update_mime_info((root / "docs/readme.txt").c_str(), false, true,
                     B_UPDATE_MIME_INFO_FORCE_UPDATE_ALL);
    readmeInfo.GetType(type);
    EXPECT_STREQ(type, "text/plain");
    EXPECT_LT(getxattr((root / "docs/readme.txt").c_str(), "user.mime_type", nullptr, 0), 0);

    // "Keep type" keeps a chosen type over content that shows nothing specific.
    WriteFile(root / "docs/blob", std::string("\x01\x02\x03", 3));
    BNode blob((root / "docs/blob").c_str());
    ASSERT_EQ(BNodeInfo(&blob).SetType("application/x-chosen"), B_OK);
    update_mime_info((root / "docs/blob").c_str(), false, true, B_UPDATE_MIME_INFO_FORCE_KEEP_TYPE);
    BNodeInfo(&blob).GetType(type);
    EXPECT_STREQ(type, "application/x-chosen");

    // A link has no type of its own to show.
    BEntry aliasEntry((root / "docs/alias").c_str());
    BNode alias(&aliasEntry);
    EXPECT_NE(BNodeInfo(&alias).GetType(type), B_OK);

    EXPECT_EQ(readmeInfo.SetType("not a type"), B_BAD_VALUE);
    EXPECT_EQ(update_mime_info((root / "missing").c_str(), false, true, 0), B_ENTRY_NOT_FOUND);
}

TEST(MimeType, ValidityAndOurOwnTypeDatabase) {
    EXPECT_TRUE(BMimeType::IsValid("text/x-tarnw"));
    EXPECT_TRUE(BMimeType::IsValid("application"));
    EXPECT_FALSE(BMimeType::IsValid("text/"));
    EXPECT_FALSE(BMimeType::IsValid("/plain"));
    EXPECT_FALSE(BMimeType::IsValid("text/pl ain"));
    EXPECT_FALSE(BMimeType::IsValid(std::string(300, 'a').c_str()));
    BMimeType text("text/plain");
    EXPECT_TRUE(BMimeType("text").Contains(&text));
    EXPECT_TRUE(BMimeType("TEXT/Plain") == text);

    BMimeType doc("text/x-tarnw");
    char value[B_MIME_TYPE_LENGTH];
    EXPECT_EQ(doc.GetPreferredApp(value), B_ENTRY_NOT_FOUND);
    ASSERT_EQ(doc.SetPreferredApp("application/x-vnd.Kestrelwood.Tarnw"), B_OK);
    ASSERT_EQ(BMimeType("text/x-tarnw").GetPreferredApp(value), B_OK);
    EXPECT_STREQ(value, "application/x-vnd.Kestrelwood.Tarnw");
    EXPECT_TRUE(doc.IsInstalled());
    EXPECT_TRUE(fs::exists(Sandbox::Home() / ".local/share/tarnwhistle/mime/text/x-tarnw"));
    EXPECT_EQ(doc.SetShortDescription("line\nbreak"), B_BAD_VALUE);
    ASSERT_EQ(doc.SetShortDescription("Installer package"), B_OK);
    ASSERT_EQ(doc.GetShortDescription(value), B_OK);
    EXPECT_STREQ(value, "Installer package");
    // A type that would lead out of the database is refused there.
    EXPECT_EQ(BMimeType("../..").SetPreferredApp("application/x-vnd.Evil"), B_BAD_VALUE);
    EXPECT_EQ(BMimeType("text/..").SetPreferredApp("application/x-vnd.Evil"), B_BAD_VALUE);
    ASSERT_EQ(BMimeType("image/png").GetShortDescription(value), B_OK);
    EXPECT_STREQ(value, "PNG Image");
}

TEST(AppFileInfo, RecordsLiveInAttributesNotInTheProgram) {
    fs::path path = Sandbox::MakeFolder("appinfo") / "installer";
    fs::copy_file("/bin/true", path);
    std::string before = ReadFile(path);
    BFile file(path.c_str(), B_READ_WRITE);
    BAppFileInfo info(&file);
    ASSERT_EQ(info.InitCheck(), B_OK);

    version_info version = {};
    version.major = 1;
    version.middle = 3;
    version.minor = 1;
    version.variety = 5;
    strcpy(version.short_info, "Installer");
    strcpy(version.long_info, "V1.3.1 Install BeOS applications");
    ASSERT_EQ(info.SetVersionInfo(&version, B_APP_VERSION_KIND), B_OK);
    version_info system = {};
    system.major = 9;
    ASSERT_EQ(info.SetVersionInfo(&system, B_SYSTEM_VERSION_KIND), B_OK);
    ASSERT_EQ(info.SetSignature("application/x-vnd.Kestrelwood.Tarnw"), B_OK);
    ASSERT_EQ(info.SetAppFlags(1), B_OK);
    BMessage types;
    types.AddString("types", "text/x-tarnw");
    ASSERT_EQ(info.SetSupportedTypes(&types), B_OK);
    EXPECT_EQ(ReadFile(path), before) << "the program's bytes never change";

    BFile again(path.c_str(), B_READ_ONLY);
    BAppFileInfo read(&again);
    version_info back = {};
    ASSERT_EQ(read.GetVersionInfo(&back, B_APP_VERSION_KIND), B_OK);
    EXPECT_EQ(back.major, 1u);
    EXPECT_EQ(back.minor, 1u);
    EXPECT_EQ(back.variety, 5u);
    EXPECT_STREQ(back.long_info, "V1.3.1 Install BeOS applications");
    ASSERT_EQ(read.GetVersionInfo(&back, B_SYSTEM_VERSION_KIND), B_OK);
    EXPECT_EQ(back.major, 9u);
    char signature[B_MIME_TYPE_LENGTH];
    ASSERT_EQ(read.GetSignature(signature), B_OK);
    EXPECT_STREQ(signature, "application/x-vnd.Kestrelwood.Tarnw");
    char raw[64] = {};
    EXPECT_GT(getxattr(path.c_str(), "user.app_signature", raw, sizeof raw), 0);
    EXPECT_STREQ(raw, "application/x-vnd.Kestrelwood.Tarnw");
    uint32 flags = 0;
    ASSERT_EQ(read.GetAppFlags(&flags), B_OK);
    EXPECT_EQ(flags, 1u);
    EXPECT_TRUE(read.IsSupportedType("text/x-tarnw"));
    EXPECT_FALSE(read.IsSupportedType("text/plain"));

    // A damaged record gives terminated texts, never an overrun.
    std::string junk(680, 'x');
    ASSERT_EQ(setxattr(path.c_str(), "user.app_version", junk.data(), junk.size(), 0), 0);
    ASSERT_EQ(read.GetVersionInfo(&back, B_APP_VERSION_KIND), B_OK);
    EXPECT_EQ(strlen(back.short_info), 63u);
    EXPECT_EQ(strlen(back.long_info), 255u);
    ASSERT_EQ(setxattr(path.c_str(), "user.app_version", "short", 5, 0), 0);
    EXPECT_EQ(read.GetVersionInfo(&back, B_APP_VERSION_KIND), B_BAD_DATA);
}

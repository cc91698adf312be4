// Typed attributes on nodes and items kept compressed in an attribute.

#include <sys/xattr.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "files/LibNode.h"
#include "platform/app/Message.h"
#include "support/Sandbox.h"

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

fs::path NodeFile(const char* hint) {
    fs::path file = Sandbox::MakeFolder(hint) / "node";
    WriteFile(file, "data");
    return file;
}

bool AttributesWork(const fs::path& file) {
    return setxattr(file.c_str(), "user.tarnw.probe", "1", 1, 0) == 0;
}

} // namespace

TEST(LibNode, TypedAttributesRoundTripAndTheLastWriteDecidesTheType) {
    fs::path file = NodeFile("attrs");
    if (!AttributesWork(file))
        GTEST_SKIP() << "no user extended attributes here";
    LibNode node(file.c_str());
    ASSERT_EQ(node.InitCheck(), B_OK);

    const char* identity = "Product;1.0;2024-01-01;Maker;help@example.org;";
    EXPECT_EQ(node.WriteStringAttr("InstallBy", identity), (ssize_t)strlen(identity));
    attr_info info;
    ASSERT_EQ(node.GetAttrInfo("InstallBy", &info), B_OK);
    EXPECT_EQ(info.size, (off_t)strlen(identity));
    EXPECT_EQ(info.type, (uint32)B_STRING_TYPE);
    LibString text;
    EXPECT_EQ(node.ReadStringAttr("InstallBy", text), (ssize_t)strlen(identity));
    EXPECT_STREQ(text, identity);

    EXPECT_EQ(node.WriteBoolAttr("InstallBy", true), 1);
    ASSERT_EQ(node.GetAttrInfo("InstallBy", &info), B_OK);
    EXPECT_EQ(info.size, 1);
    EXPECT_EQ(info.type, (uint32)B_BOOL_TYPE);
    bool flag = false;
    EXPECT_TRUE(node.ReadBoolAttr("InstallBy", flag));
    EXPECT_TRUE(flag);

    EXPECT_EQ(node.WriteInt32Attr("count", -7), 4);
    int32 number = 0;
    EXPECT_TRUE(node.ReadInt32Attr("count", number));
    EXPECT_EQ(number, -7);

    BMessage message('test');
    message.AddString("name", "value");
    EXPECT_GT(node.WriteMessageAttr("msg", message), 0);
    BMessage back;
    ASSERT_TRUE(node.ReadMessageAttr("msg", back));
    EXPECT_EQ(back.what, (uint32)'test');
    const char* value = nullptr;
    ASSERT_EQ(back.FindString("name", &value), B_OK);
    EXPECT_STREQ(value, "value");
}

TEST(LibNode, MissingAndMalformedAttributes) {
    fs::path file = NodeFile("missing");
    if (!AttributesWork(file))
        GTEST_SKIP() << "no user extended attributes here";
    LibNode node(file.c_str());
    bool flag = true;
    EXPECT_FALSE(node.ReadBoolAttr("absent", flag));
    int32 number = 42;
    EXPECT_TRUE(node.ReadInt32Attr("absent", number));
    EXPECT_EQ(number, 42);
    LibString text("kept");
    EXPECT_LT(node.ReadStringAttr("absent", text), 0);
    EXPECT_STREQ(text, "kept");
    BMessage message;
    EXPECT_FALSE(node.ReadMessageAttr("absent", message));
    // Bytes that are not a flattened message are refused, not trusted.
    node.WriteStringAttr("junk", "not a message at all");
    EXPECT_FALSE(node.ReadMessageAttr("junk", message));
}

TEST(LibNode, CompressAndUncompressRestoreTheItem) {
    fs::path work = Sandbox::MakeFolder("compress");
    fs::path holder = work / "holder";
    WriteFile(holder, "");
    if (!AttributesWork(holder))
        GTEST_SKIP() << "no user extended attributes here";
    std::string bytes;
    for (int i = 0; i < 2500; ++i)
        bytes += static_cast<char>('a' + i % 26);
    WriteFile(work / "settings", bytes);

    LibNode node(holder.c_str());
    ASSERT_TRUE(node.CompressFile("settings", (work / "settings").c_str()));
    ASSERT_TRUE(node.UncompressFile((work / "restored").c_str(), "settings", true));
    EXPECT_EQ(ReadFile(work / "restored"), bytes);

    // The item comes back even when the attribute bears another name.
    ASSERT_TRUE(node.CompressFile("saved copy", (work / "settings").c_str()));
    ASSERT_TRUE(node.UncompressFile((work / "again").c_str(), "saved copy", true));
    EXPECT_EQ(ReadFile(work / "again"), bytes);

    EXPECT_TRUE(node.UncompressFile((work / "none").c_str(), "absent", true));
    EXPECT_FALSE(fs::exists(work / "none"));
    EXPECT_FALSE(node.CompressFile("x", (work / "does-not-exist").c_str()));
}

// The current language, kept on the executable, and the texts looked up in it.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "locale/Catalogue.h"
#include "locale/CatalogueResources.h"
#include "locale/xLocalize.h"
#include "platform/storage/File.h"
#include "platform/storage/Node.h"
#include "platform/storage/Resources.h"
#include "platform/storage/StorageDefs.h"
#include "support/Sandbox.h"

namespace {

// A stand-in for the installer's executable inside the sandbox.
std::string MakeExecutable() {
    const auto path = tarnw::test::Sandbox::MakeFolder("exe") / "installer";
    tarnw::test::WriteFile(path, "\x7f"
                                 "ELF stand-in");
    return path.string();
}

std::string LanguageAttribute(const std::string& path, ssize_t* length = nullptr) {
    BNode node(path.c_str());
    char buffer[128];
    const ssize_t got = node.ReadAttr("language", B_STRING_TYPE, 0, buffer, sizeof(buffer));
    if (length != nullptr)
        *length = got;
    return got > 0 ? std::string(buffer, static_cast<size_t>(got)) : std::string();
}

bool WriteLanguageAttribute(const std::string& path, const void* bytes, size_t size) {
    BNode node(path.c_str());
    return node.WriteAttr("language", B_STRING_TYPE, 0, bytes, size) == static_cast<ssize_t>(size);
}

} // namespace

TEST(xLocalize, FirstStartRecordsEnglishOnTheExecutable) {
    const std::string exe = MakeExecutable();
    ssize_t length = 0;
    LanguageAttribute(exe, &length);
    ASSERT_EQ(length, B_ENTRY_NOT_FOUND);

    xLocalize localize(exe.c_str());
    EXPECT_STREQ(localize.Language(), "en");
    ASSERT_EQ(LanguageAttribute(exe, &length), "en");
    EXPECT_EQ(length, 2); // no NUL stored
    EXPECT_STREQ(localize.GetString(1007), "Install");
}

TEST(xLocalize, ChosenLanguageHoldsForLaterObjects) {
    const std::string exe = MakeExecutable();
    xLocalize window(exe.c_str());
    xLocalize worker(exe.c_str()); // made before the change: keeps its language
    ASSERT_TRUE(window.SetLanguage("no"));
    EXPECT_STREQ(window.Language(), "no");
    EXPECT_EQ(LanguageAttribute(exe), "no");

    xLocalize later(exe.c_str());
    EXPECT_STREQ(later.Language(), "no");
    EXPECT_STREQ(later.GetString(1007), "Installer");
    EXPECT_STREQ(later.GetString(1017), "OK");
    EXPECT_STREQ(worker.Language(), "en");
    EXPECT_STREQ(worker.GetString(1007), "Install");
}

TEST(xLocalize, MissingTextsAreEmptyWithoutFallingBackToEnglish) {
    const std::string exe = MakeExecutable();
    xLocalize localize(exe.c_str());
    EXPECT_STREQ(localize.GetString(999), "");
    EXPECT_STREQ(localize.GetString(1046), "");
    ASSERT_TRUE(localize.SetLanguage("de"));
    EXPECT_STREQ(localize.GetString(1002), "");
    EXPECT_STREQ(localize.GetString(1001), "Lizenz");
    // A valid code outside the ten is kept; it has no texts.
    ASSERT_TRUE(localize.SetLanguage("ja"));
    EXPECT_STREQ(localize.GetString(1007), "");
    EXPECT_EQ(xLocalize::LanguageIndex("ja"), -1);
}

TEST(xLocalize, TextsInTheExecutablesResourcesWin) {
    const std::string exe = MakeExecutable();
    {
        BFile file(exe.c_str(), B_READ_WRITE);
        BResources resources(&file, true);
        resources.AddResource(B_STRING_TYPE, 1, "Eigene", 7, "de:1007");
        resources.AddResource(B_STRING_TYPE, 2, "", 1, "de:1008");
        ASSERT_EQ(resources.Sync(), B_OK);
    }
    const char de[] = {'d', 'e'};
    ASSERT_TRUE(WriteLanguageAttribute(exe, de, sizeof(de)));
    xLocalize localize(exe.c_str());
    EXPECT_STREQ(localize.GetString(1007), "Eigene");
    // An entry the package left empty stays empty.
    EXPECT_STREQ(localize.GetString(1008), "");
    EXPECT_STREQ(localize.GetString(1012), "Anhalten");
}

TEST(xLocalize, ReadsTheCatalogueAsThePackerWritesIt) {
    const std::string exe = MakeExecutable();
    {
        BFile file(exe.c_str(), B_READ_WRITE);
        BResources resources(&file, true);
        catalogue::Entry custom{"fr", 1007, "Install", "Installer maintenant"};
        ASSERT_EQ(catalogue::WriteResources(resources, {custom}), B_OK);
        ASSERT_EQ(resources.Sync(), B_OK);
        size_t size = 0;
        const char* text =
            static_cast<const char*>(resources.LoadResource(B_STRING_TYPE, 1, &size));
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(size, strlen("Installer maintenant") + 1); // the NUL is stored
        ASSERT_EQ(catalogue::WriteResources(resources), B_OK);
        ASSERT_EQ(resources.Sync(), B_OK);
        int32 id = 0;
        ASSERT_TRUE(resources.GetResourceInfo(B_STRING_TYPE, "pt:1045", &id, &size));
        // Numbered 1 upwards: Portuguese comes last, and its texts after 1045 follow.
        size_t after = 0;
        for (const catalogue::Entry& entry : catalogue::BuiltinEntries())
            after += entry.language == "pt" && entry.id > 1045;
        EXPECT_EQ(id, int32(catalogue::BuiltinEntries().size() - after));
        catalogue::Entry bad{"x y", 1, "", "text"};
        EXPECT_NE(catalogue::WriteResources(resources, {bad}), B_OK);
    }
    xLocalize localize(exe.c_str());
    ASSERT_TRUE(localize.SetLanguage("fr"));
    EXPECT_STREQ(localize.GetString(1007), "Installer"); // the built-in set replaced id 1
    EXPECT_STREQ(localize.GetString(1020), "\nVoulez-vous le remplacer ?");
}

TEST(xLocalize, DamagedAttributeFallsBackToEnglishAndIsLeftAlone) {
    const std::string exe = MakeExecutable();
    const std::string garbage = "de\x01\xff/..";
    ASSERT_TRUE(WriteLanguageAttribute(exe, garbage.data(), garbage.size()));
    xLocalize localize(exe.c_str());
    EXPECT_STREQ(localize.Language(), "en");
    EXPECT_EQ(LanguageAttribute(exe), garbage);

    // A code stored with a NUL by some other tool still reads.
    ASSERT_TRUE(WriteLanguageAttribute(exe, "sv", 3));
    EXPECT_STREQ(xLocalize(exe.c_str()).Language(), "sv");

    // A long attribute is read only up to its first 62 bytes and is no code.
    const std::string longValue(100, 'a');
    ASSERT_TRUE(WriteLanguageAttribute(exe, longValue.data(), longValue.size()));
    EXPECT_STREQ(xLocalize(exe.c_str()).Language(), "en");

    EXPECT_FALSE(localize.SetLanguage("x y"));
    EXPECT_FALSE(localize.SetLanguage(nullptr));
    EXPECT_STREQ(localize.Language(), "en");
}

TEST(xLocalize, ALanguageThatCannotBeStoredHoldsForTheRestOfTheRun) {
    const std::string missing = (tarnw::test::Sandbox::MakeFolder("gone") / "nothing").string();
    xLocalize localize(missing.c_str());
    EXPECT_STREQ(localize.Language(), "en");
    EXPECT_FALSE(localize.SetLanguage("fr"));
    EXPECT_STREQ(localize.Language(), "fr");
    // The window makes a new object after a change; it must see the choice.
    xLocalize later(missing.c_str());
    EXPECT_STREQ(later.Language(), "fr");
    EXPECT_STREQ(later.GetString(1015), "Annuler");

    // Once the file can take it again, the stored value counts.
    tarnw::test::WriteFile(missing, "stub");
    ASSERT_TRUE(later.SetLanguage("da"));
    const char sv[] = {'s', 'v'};
    ASSERT_TRUE(WriteLanguageAttribute(missing, sv, sizeof(sv)));
    EXPECT_STREQ(xLocalize(missing.c_str()).Language(), "sv");
}

TEST(xLocalize, MenuIndexesMapToCodes) {
    EXPECT_STREQ(xLocalize::LanguageCode(0), "en");
    EXPECT_STREQ(xLocalize::LanguageCode(3), "de");
    EXPECT_STREQ(xLocalize::LanguageCode(9), "pt");
    EXPECT_STREQ(xLocalize::LanguageCode(10), "en");
    EXPECT_STREQ(xLocalize::LanguageCode(-1), "en");
    for (int32 i = 0; i < 10; ++i)
        EXPECT_EQ(xLocalize::LanguageIndex(xLocalize::LanguageCode(i)), i);
}

// A package with menu entries, built by the real packer, installed by the real installer
// and removed by the deinstaller it placed: the entries work while installed and leave
// nothing behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

#include "support/Process.h"
#include "support/Sandbox.h"
#include "support/UnattendedRun.h"

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::RunProgram;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

std::map<std::string, std::string> Tree(const fs::path& root) {
    std::map<std::string, std::string> tree;
    if (!fs::exists(root))
        return tree;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        tree[entry.path().string()] = entry.is_directory() ? "folder" : ReadFile(entry.path());
    return tree;
}

} // namespace

TEST(MenuEntriesEndToEnd, EntriesNameTheInstalledProgramAndGoWithTheDeinstaller) {
    fs::path package = Sandbox::MakeFolder("menu-package");
    WriteFile(package / "Bc App" / "bin" / "bc", "#!/bin/sh\necho 42\n");
    chmod((package / "Bc App" / "bin" / "bc").c_str(), 0755);
    WriteFile(package / "bc.svg",
              "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\"/>\n");
    WriteFile(package / "manifest.json", R"json({
      "app_name": "Bc", "version": "1.07", "opt_created_folder": "Bc",
      "groups": [{"name": "All"}],
      "files": [{"source": "Bc App", "groups": ["All"]}],
      "desktop_entries": [{"name": "Bc Calculator", "exec": "Bc App/bin/bc", "icon": "bc.svg",
                           "comment": "An arbitrary precision calculator",
                           "categories": ["Utility", "Calculator"], "terminal": true}]
    })json");
    fs::path installer = Sandbox::MakeFolder("menu-installer") / "BcInstaller";
    auto built = tarnw::test::PackInstaller(package / "manifest.json", installer);
    ASSERT_EQ(built.status, 0) << built.output;

    fs::path data =
        geteuid() == 0 ? Sandbox::Prefix() / "usr/local/share" : Sandbox::Home() / ".local/share";
    auto before = Tree(data);
    fs::path destination = Sandbox::MakeFolder("menu-destination");
    auto install = tarnw::test::RunUnattended(
        installer, "license: agree\ndestination: " + destination.string() + "\n");
    ASSERT_EQ(install.status, 0) << install.output;

    fs::path entry = data / "applications" / "Bc-Bc_Calculator.desktop";
    std::string text = ReadFile(entry);
    fs::path program = destination / "Bc" / "Bc App" / "bin" / "bc";
    EXPECT_NE(text.find("Exec=\"" + program.string() + "\"\n"), std::string::npos) << text;
    EXPECT_TRUE(fs::exists(data / "icons/hicolor/scalable/apps/Bc-Bc_Calculator.svg"));
    fs::path remover = data / "applications" / "Bc-deinstaller.desktop";
    EXPECT_NE(ReadFile(remover).find("Bc 1.07 Deinstaller"), std::string::npos);
    auto validated =
        RunProgram({"/usr/bin/desktop-file-validate", entry.string(), remover.string()});
    EXPECT_EQ(validated.status, 0) << validated.output;

    auto removed =
        tarnw::test::RunUnattended(destination / "Bc" / "Bc 1.07 Deinstaller", "remove: yes\n");
    EXPECT_EQ(removed.status, 0) << removed.output;
    EXPECT_EQ(Tree(data), before) << removed.output;
    EXPECT_FALSE(fs::exists(destination / "Bc"));
}

// The folder panel as the installer uses it: folders and links to them only, moving to the
// parent, and its state.

#include "platform/interface/gui/GuiTestSupport.h"

#include <filesystem>
#include <sys/stat.h>

#include "platform/storage/Mime.h"
#include "platform/storage/StorageDefs.h"
#include "support/Sandbox.h"
#include "ui/gui/LibFilePanel.h"

using tarnw::test::Sandbox;
using tarnw::test::WriteFile;
namespace fs = std::filesystem;

TEST(FilePanel, FolderPanelListsFoldersAndLinksToThem) {
    REQUIRE_DISPLAY();
    fs::path dir = Sandbox::MakeFolder("panel");
    fs::create_directories(dir / "apps" / "inner");
    fs::create_directory(dir / "docs");
    WriteFile(dir / "readme.txt", "text");
    fs::create_directory_symlink(dir / "docs", dir / "to-docs");
    fs::create_symlink(dir / "readme.txt", dir / "to-readme");

    RecordingWindow* owner = new RecordingWindow(BRect(100, 100, 299, 199));
    owner->Show();
    {
        LibFilePanel panel(B_OPEN_PANEL, owner, 2005, B_DIRECTORY_NODE, false);
        panel.Filter().AddType(B_DIRECTORY_MIME_TYPE);
        panel.Filter().AddType("application/x-vnd.Be-volume");
        panel.SetPanelDirectory((dir / "apps" / "inner").c_str(), true);
        EXPECT_EQ(panel.ListedNames(), (std::vector<std::string>{"inner"}));
        panel.SetToParentDirectory();
        std::vector<std::string> names = panel.ListedNames();
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"apps", "docs", "to-docs"}));

        lib_panel_state state;
        panel.GetState(state);
        EXPECT_STREQ(state.folder.path(), dir.c_str());
        panel.SetPanelDirectory((dir / "apps").c_str(), false);
        EXPECT_EQ(panel.ListedNames(), (std::vector<std::string>{"inner"}));
        state.frame = BRect(150, 160, 649, 509);
        panel.SetState(state);
        EXPECT_EQ(panel.ListedNames().size(), 3u);
        EXPECT_EQ(panel.Window()->Frame(), BRect(150, 160, 649, 509));

        // Choosing the shown folder sends the panel's message to the owner, and the
        // panel stays open for its owner to hide.
        panel.Show();
        panel.SelectEntry("docs");
        panel.Confirm();
        Settle();
        EXPECT_TRUE(panel.IsShowing());
        std::vector<BMessage> chosen = owner->Received(2005);
        ASSERT_EQ(chosen.size(), 1u);
        entry_ref ref;
        ASSERT_EQ(FindRefInMessage(&chosen[0], "refs", 0, &ref), B_OK);
        EXPECT_STREQ(ref.path(), (dir / "docs").c_str());
        EXPECT_FALSE(chosen[0].HasString("marked"));
        // Without a menu bar in the panel there is no format menu to add to.
        panel.AddFormatMenuItem("Zip", true);
    }
    Settle();
    CloseWindow(owner);
}

TEST(FilePanel, APathCanBeTypedAndAFolderMade) {
    REQUIRE_DISPLAY();
    fs::path dir = Sandbox::MakeFolder("typed");
    fs::create_directories(dir / "a" / "b");
    WriteFile(dir / "file", "x");
    RecordingWindow* owner = new RecordingWindow(BRect(100, 100, 299, 199));
    owner->Show();
    {
        LibFilePanel panel(B_OPEN_PANEL, owner, 2005, B_DIRECTORY_NODE, false);
        panel.Filter().AddType(B_DIRECTORY_MIME_TYPE);
        panel.SetPanelDirectory(dir.c_str());

        // An absolute path, a relative one with "..", and "~" for the home folder.
        panel.EnterPath((dir / "a" / "b").c_str());
        EXPECT_EQ(panel.ShownFolder(), (dir / "a" / "b").string());
        EXPECT_EQ(panel.TypedPath(), (dir / "a" / "b").string());
        panel.EnterPath("../../a/");
        EXPECT_EQ(panel.ShownFolder(), (dir / "a").string());
        panel.EnterPath("~");
        EXPECT_EQ(panel.ShownFolder(), Sandbox::Home().string());
        // A file or nothing at all is no folder: the panel stays and says so.
        panel.SetPanelDirectory(dir.c_str());
        panel.EnterPath((dir / "file").c_str());
        EXPECT_EQ(panel.ShownFolder(), dir.string());
        EXPECT_EQ(panel.Notice(), "There is no folder '" + (dir / "file").string() + "'.");
        panel.EnterPath("missing");
        EXPECT_EQ(panel.Notice(), "There is no folder '" + (dir / "missing").string() + "'.");

        // New Folder asks for the name first, suggesting one not taken; cancelling the
        // question makes nothing.
        panel.SetPanelDirectory(dir.c_str());
        panel.MakeNewFolder();
        EXPECT_TRUE(panel.AsksForFolderName());
        EXPECT_EQ(panel.SuggestedFolderName(), "New Folder");
        panel.CancelNewFolder();
        EXPECT_FALSE(panel.AsksForFolderName());
        EXPECT_FALSE(fs::exists(dir / "New Folder"));
        // Escape cancels the question, not the panel.
        panel.Show();
        panel.MakeNewFolder();
        PressKey(panel.Window(), "\x1b");
        Settle();
        EXPECT_FALSE(panel.AsksForFolderName());
        EXPECT_TRUE(panel.IsShowing());
        EXPECT_TRUE(owner->Received(B_CANCEL).empty());
        // The name given is made in the folder shown, which then shows it.
        panel.MakeNewFolder();
        panel.NameNewFolder("Games");
        EXPECT_TRUE(fs::is_directory(dir / "Games"));
        EXPECT_EQ(panel.ShownFolder(), (dir / "Games").string());
        EXPECT_FALSE(panel.AsksForFolderName());
        panel.SetPanelDirectory(dir.c_str());
        panel.MakeNewFolder();
        panel.NameNewFolder("");
        panel.NameNewFolder("New Folder");
        panel.SetPanelDirectory(dir.c_str());
        panel.MakeNewFolder();
        EXPECT_EQ(panel.SuggestedFolderName(), "New Folder 2");
        panel.NameNewFolder("New Folder 2");
        EXPECT_TRUE(fs::is_directory(dir / "New Folder"));
        EXPECT_EQ(panel.ShownFolder(), (dir / "New Folder 2").string());
        // Made as the user's folders are: 0777 less the umask.
        mode_t mask = umask(022);
        umask(mask);
        EXPECT_EQ(fs::status(dir / "New Folder").permissions(), fs::perms(0777 & ~mask));
        // A name is one name; one that is taken is refused with the reason, and the
        // question stays for another.
        panel.SetPanelDirectory(dir.c_str());
        panel.MakeNewFolder();
        panel.NameNewFolder("a/b");
        EXPECT_EQ(panel.Notice(), "The folder '" + (dir / "a/b").string() +
                                      "' could not be made: Invalid argument");
        EXPECT_TRUE(panel.AsksForFolderName());
        panel.NameNewFolder("Games");
        EXPECT_EQ(panel.Notice(),
                  "The folder '" + (dir / "Games").string() + "' could not be made: File exists");
        panel.NameNewFolder("Fresh");
        EXPECT_EQ(panel.ShownFolder(), (dir / "Fresh").string());
        EXPECT_TRUE(panel.Notice().empty());

        // Confirming the folder shown chooses it.
        panel.Confirm();
        Settle();
        std::vector<BMessage> chosen = owner->Received(2005);
        ASSERT_EQ(chosen.size(), 1u);
        entry_ref ref;
        ASSERT_EQ(FindRefInMessage(&chosen[0], "refs", 0, &ref), B_OK);
        EXPECT_STREQ(ref.path(), (dir / "Fresh").c_str());

        // Escape without a question cancels the panel.
        PressKey(panel.Window(), "\x1b");
        Settle();
        EXPECT_FALSE(panel.IsShowing());
        EXPECT_EQ(owner->Received(B_CANCEL).size(), 1u);

        // A folder that cannot be made is reported with the reason: here the folder
        // shown went away meanwhile, with its parent.
        fs::path gone = dir / "gone" / "inner";
        fs::create_directories(gone);
        panel.SetPanelDirectory(gone.c_str());
        fs::remove_all(dir / "gone");
        panel.MakeNewFolder();
        panel.NameNewFolder("New Folder");
        EXPECT_FALSE(fs::exists(dir / "gone"));
        EXPECT_EQ(panel.Notice(), "The folder '" + (gone / "New Folder").string() +
                                      "' could not be made: No such file or directory");
    }
    CloseWindow(owner);
}

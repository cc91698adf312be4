// The folder panel as the installer uses it: folders and links to them only, moving to the
// parent, and its state.

#include "platform/interface/gui/GuiTestSupport.h"

#include <filesystem>

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

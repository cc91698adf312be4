#include "GuiTestSupport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "platform/interface/gui/FilePanel.h"
#include "platform/storage/Node.h"
#include "support/Sandbox.h"

namespace {

// Lists folders and links to folders only.
class FolderFilter : public BRefFilter {
public:
    bool Filter(const entry_ref*, BNode*, struct stat* st, const char* mimeType) override {
        calls++;
        if (S_ISLNK(st->st_mode))
            return true;
        return std::strcmp(mimeType, "application/x-vnd.Be-directory") == 0;
    }
    int calls = 0;
};

} // namespace

TEST(FilePanel, FolderPanelListsFiltersEntersAndSendsTheFolder) {
    auto root = tarnw::test::Sandbox::MakeFolder("panel");
    mkdir((root / "Apps").c_str(), 0755);
    mkdir((root / "apps2").c_str(), 0755);
    mkdir((root / "Apps" / "Inner").c_str(), 0755);
    mkdir((root / ".hidden").c_str(), 0755);
    tarnw::test::WriteFile(root / "notes.txt", "text");
    symlink((root / "Apps").c_str(), (root / "link").c_str());

    auto* window = new RecordingWindow(BRect(10, 10, 100, 100));
    window->Show();
    BMessenger target(window);
    FolderFilter filter;
    BFilePanel panel(B_OPEN_PANEL, &target, nullptr, B_DIRECTORY_NODE, false, new BMessage('fold'),
                     &filter, false, false);
    panel.SetPanelDirectory(root.c_str());
    EXPECT_GT(filter.calls, 0);
    EXPECT_EQ(panel.ListedNames(), (std::vector<std::string>{"Apps", "apps2", "link"}));

    // Callers look for a menu bar in the window's first child to add menus to.
    panel.Window()->Lock();
    EXPECT_NE(panel.Window()->ChildAt(0)->FindView("MenuBar"), nullptr);
    panel.Window()->Unlock();

    panel.Show();
    panel.OpenEntry("Apps");
    EXPECT_EQ(panel.ListedNames(), (std::vector<std::string>{"Inner"}));
    // Nothing selected in a folder panel: the folder shown is the choice.
    panel.Confirm();
    ASSERT_TRUE(Pump([&] { return window->CountReceived('fold') == 1; }));
    entry_ref ref;
    ASSERT_EQ(FindRefInMessage(&window->Received('fold')[0], "refs", 0, &ref), B_OK);
    EXPECT_STREQ(ref.path(), (root / "Apps").c_str());
    // A selected folder is chosen rather than entered.
    panel.SelectEntry("Inner");
    panel.Confirm();
    ASSERT_TRUE(Pump([&] { return window->CountReceived('fold') == 2; }));
    ASSERT_EQ(FindRefInMessage(&window->Received('fold')[1], "refs", 0, &ref), B_OK);
    EXPECT_STREQ(ref.path(), (root / "Apps" / "Inner").c_str());
    EXPECT_TRUE(panel.IsShowing()) << "the owner hides it";
    // Cancel tells the target and hides.
    panel.Cancel();
    ASSERT_TRUE(Pump([&] { return window->CountReceived(B_CANCEL) == 1; }));
    EXPECT_EQ((uint32)window->Received(B_CANCEL)[0].GetInt32("old_what"), (uint32)'fold');
    EXPECT_FALSE(panel.IsShowing());
    CloseWindow(window);
}

TEST(FilePanel, RefsInMessagesAreCheckedWhenRead) {
    BMessage message;
    entry_ref ref;
    EXPECT_NE(FindRefInMessage(&message, "refs", 0, &ref), B_OK);
    // Not NUL-terminated, or not absolute: refused.
    message.AddData("refs", B_REF_TYPE, "abc", 3, false);
    EXPECT_EQ(FindRefInMessage(&message, "refs", 0, &ref), B_BAD_DATA);
    message.AddData("refs", B_REF_TYPE, "relative", 9, false);
    EXPECT_EQ(FindRefInMessage(&message, "refs", 1, &ref), B_BAD_DATA);
    entry_ref tmp;
    ASSERT_EQ(get_ref_for_path("/tmp", &tmp), B_OK);
    ASSERT_EQ(AddRefToMessage(&message, "refs", tmp), B_OK);
    ASSERT_EQ(FindRefInMessage(&message, "refs", 2, &ref), B_OK);
    EXPECT_EQ(ref, tmp);
}

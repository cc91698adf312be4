// The replace question: its wording in the languages, the facts of both entries, the
// apply-to-all box and its answer through the gui front-end from a worker thread.
#include "platform/interface/gui/GuiTestSupport.h"

#include <atomic>
#include <filesystem>
#include <thread>

#include "platform/interface/gui/Alert.h"
#include "platform/interface/gui/Button.h"
#include "platform/interface/gui/CheckBox.h"
#include "platform/interface/gui/StringView.h"
#include "platform/interface/gui/TextView.h"
#include "support/Sandbox.h"
#include "ui/gui/GuiFrontend.h"
#include "ui/gui/ReplaceAlert.h"

namespace fs = std::filesystem;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

struct Pair {
    fs::path existing;
    fs::path incoming;
};

Pair MakePair(const std::string& leaf = "readme.txt") {
    fs::path there = Sandbox::MakeFolder("there");
    fs::path here = Sandbox::MakeFolder("here");
    WriteFile(there / leaf, "mine\n");
    WriteFile(here / leaf, "How to click.\n");
    return {there / leaf, here / leaf};
}

// Alerts delete themselves only when answered; these are never shown.
void Discard(BAlert* alert) {
    alert->Lock();
    alert->Quit();
}

const char* TextOf(BAlert* alert, const char* view) {
    auto* found = dynamic_cast<BStringView*>(alert->FindView(view));
    return found != nullptr ? found->Text() : "(missing)";
}

BAlert* ShownAlert() {
    for (BWindow* window : BWindow::AllWindows())
        if (auto* alert = dynamic_cast<BAlert*>(window); alert && !alert->IsHidden())
            return alert;
    return nullptr;
}

} // namespace

TEST(ReplaceAlert, SpeaksTheLanguageItIsGiven) {
    Pair pair = MakePair();
    auto* swedish = new ReplaceAlert(pair.incoming.c_str(), pair.existing.c_str(), true, "sv");
    EXPECT_STREQ(swedish->Title(), "ReplaceAlert");
    EXPECT_EQ(swedish->Type(), B_WARNING_ALERT);
    // Swedish starts with the kind word itself.
    EXPECT_EQ(std::string(swedish->TextView()->Text()).rfind("arkivet 'readme.txt' redan", 0), 0u)
        << swedish->TextView()->Text();
    EXPECT_STREQ(swedish->ButtonAt(0)->Label(), "Icke gör det Ombytta");
    EXPECT_STREQ(swedish->ButtonAt(1)->Label(), "Ombytta");
    EXPECT_EQ(swedish->Shortcut(0), 'd');
    EXPECT_EQ(swedish->Shortcut(1), 'r');
    EXPECT_STREQ(TextOf(swedish, "to_size_label"), "Storleken :");
    EXPECT_STREQ(TextOf(swedish, "with"), "Med");
    EXPECT_STREQ(swedish->ApplyToAllBox()->Label(), "Hänvände sig till alla framtida sammanstöt");
    Discard(swedish);

    for (const char* code : {"en", "xx", ""}) {
        auto* english = new ReplaceAlert(pair.incoming.c_str(), pair.existing.c_str(), false, code);
        EXPECT_STREQ(english->TextView()->Text(),
                     "The file 'readme.txt' already exists. Do you wish to replace existing")
            << code;
        EXPECT_STREQ(english->ButtonAt(0)->Label(), "Don't Replace");
        EXPECT_STREQ(english->ButtonAt(1)->Label(), "Replace");
        EXPECT_STREQ(TextOf(english, "from_creation_label"), "Created :");
        EXPECT_STREQ(TextOf(english, "to_version_label"), "Version :");
        EXPECT_EQ(english->ApplyToAllBox(), nullptr);
        Discard(english);
    }

    auto* portuguese = new ReplaceAlert(pair.incoming.c_str(), pair.existing.c_str(), false, "pt");
    EXPECT_NE(std::string(portuguese->TextView()->Text()).find("arquivo"), std::string::npos)
        << portuguese->TextView()->Text();
    EXPECT_STREQ(portuguese->ButtonAt(1)->Label(), "Substitua");
    Discard(portuguese);
}

TEST(ReplaceAlert, ALinkIsCalledALinkEvenWhenItLeadsToAFolder) {
    Pair pair = MakePair();
    fs::path folder = Sandbox::MakeFolder("target");
    fs::path link = pair.existing.parent_path() / "docs";
    fs::create_directory_symlink(folder, link);
    auto* alert = new ReplaceAlert(pair.incoming.c_str(), link.c_str(), false, "en");
    EXPECT_STREQ(alert->TextView()->Text(),
                 "The symbolic link 'docs' already exists. Do you wish to replace existing");
    Discard(alert);
    auto* folderAlert = new ReplaceAlert(pair.incoming.c_str(), folder.c_str(), false, "de");
    EXPECT_NE(std::string(folderAlert->TextView()->Text()).find("heft"), std::string::npos);
    Discard(folderAlert);
}

TEST(ReplaceAlert, ShowsTheFactsOfBothEntriesSideBySide) {
    Pair pair = MakePair();
    auto* withBox = new ReplaceAlert(pair.incoming.c_str(), pair.existing.c_str(), true, "en");
    auto* without = new ReplaceAlert(pair.incoming.c_str(), pair.existing.c_str(), false, "en");
    // The box takes 20 more pixels.
    EXPECT_EQ(withBox->Bounds().Height() - without->Bounds().Height(), 20);
    EXPECT_EQ(withBox->Bounds().Width(), without->Bounds().Width());

    BView* text = withBox->TextView();
    auto frame = [&](const char* name) {
        BView* view = withBox->FindView(name);
        EXPECT_NE(view, nullptr) << name;
        EXPECT_EQ(view != nullptr ? view->Parent() : nullptr, text) << name;
        return view != nullptr ? view->Frame() : BRect();
    };
    EXPECT_EQ(frame("to_image"), BRect(0, 65, 31, 96));
    EXPECT_EQ(frame("to_creation_label"), BRect(40, 35, 105, 50));
    EXPECT_EQ(frame("to_creation"), BRect(110, 35, 260, 50));
    EXPECT_EQ(frame("to_modified"), BRect(110, 50, 260, 65));
    EXPECT_EQ(frame("to_path"), BRect(110, 95, 245, 110));
    EXPECT_EQ(frame("to_version_label"), BRect(40, 110, 105, 125));
    EXPECT_EQ(frame("with"), BRect(0, 125, 50, 140));
    EXPECT_EQ(frame("from_image"), BRect(0, 170, 31, 201));
    EXPECT_EQ(frame("from_creation_label"), BRect(40, 140, 105, 155));
    EXPECT_EQ(frame("from_modified"), BRect(110, 155, 330, 170));
    EXPECT_EQ(frame("from_version"), BRect(110, 215, 260, 230));
    EXPECT_EQ(frame("future_collisions"), BRect(0, 235, 300, 250));

    EXPECT_STREQ(TextOf(withBox, "to_size"), "5.0 bytes");
    EXPECT_STREQ(TextOf(withBox, "from_size"), "14.0 bytes");
    EXPECT_STREQ(TextOf(withBox, "to_version"), "");
    // Dates read like "Mon, Dec 7 2026, 9:05:47 AM": weekday, date, then the time.
    std::string created = TextOf(withBox, "to_creation");
    EXPECT_EQ(std::count(created.begin(), created.end(), ','), 2) << created;
    EXPECT_EQ(std::count(created.begin(), created.end(), ':'), 2) << created;
    // The folder that holds each entry, shortened at its beginning when it is long.
    std::string folder = TextOf(withBox, "to_path");
    std::string leaf = pair.existing.parent_path().filename().string();
    EXPECT_EQ(folder.substr(folder.size() - leaf.size()), leaf) << folder;
    Discard(withBox);
    Discard(without);
}

TEST(ReplaceAlert, TheApplyToAllAnswerOutlivesTheAlert) {
    REQUIRE_DISPLAY();
    Pair pair = MakePair();
    for (int ticks : {0, 1, 2}) {
        auto applyToAll = std::make_shared<bool>(true);
        std::atomic<int32> button{-99};
        std::thread worker([&] {
            auto* alert = new ReplaceAlert(pair.incoming.c_str(), pair.existing.c_str(), true, "en",
                                           applyToAll);
            button = alert->Go();
        });
        BAlert* shown = nullptr;
        ASSERT_TRUE(Pump([&] { return (shown = ShownAlert()) != nullptr; }));
        auto* alert = static_cast<ReplaceAlert*>(shown);
        for (int i = 0; i < ticks; i++) {
            alert->Lock();
            BCheckBox* box = alert->ApplyToAllBox();
            box->SetValue(box->Value() == B_CONTROL_ON ? B_CONTROL_OFF : B_CONTROL_ON);
            box->Invoke();
            alert->Unlock();
            Settle();
        }
        PressKey(alert, "r");
        ASSERT_TRUE(Pump([&] { return button != -99; }));
        worker.join();
        EXPECT_EQ(button, 1);
        // Ticked and unticked again is not ticked.
        EXPECT_EQ(*applyToAll, ticks == 1) << ticks;
        EXPECT_TRUE(Pump([] { return ShownAlert() == nullptr; }));
    }
}

TEST(ReplaceAlert, TheGuiFrontEndAsksFromTheWorkerAndTheWindowStaysFree) {
    REQUIRE_DISPLAY();
    GuiFrontend frontend;
    Pair pair = MakePair();
    std::atomic<int32> button{-99};
    std::atomic<bool> box{false};
    std::thread worker([&] {
        FrontendRequest request;
        request.isReplace = true;
        request.hasBox = true;
        request.existingPath = pair.existing.string();
        request.newPath = pair.incoming.string();
        request.language = "de";
        FrontendAnswer answer = frontend.Ask(request);
        box = answer.boxChecked;
        button = answer.button;
    });
    BAlert* shown = nullptr;
    ASSERT_TRUE(Pump([&] { return (shown = ShownAlert()) != nullptr; }));
    auto* alert = dynamic_cast<ReplaceAlert*>(shown);
    ASSERT_NE(alert, nullptr);
    EXPECT_STREQ(alert->ButtonAt(1)->Label(), "Ersetzen");
    // A question of the worker does not block the other windows.
    EXPECT_FALSE(alert->IsModal());
    alert->Lock();
    alert->ApplyToAllBox()->SetValue(B_CONTROL_ON);
    alert->ApplyToAllBox()->Invoke();
    alert->Unlock();
    Settle();
    PressKey(alert, "d");
    ASSERT_TRUE(Pump([&] { return button != -99; }));
    worker.join();
    EXPECT_EQ(button, 0);
    EXPECT_TRUE(box);

    // A plain question: its buttons, shortcuts and icon.
    button = -99;
    std::thread second([&] {
        FrontendRequest request;
        request.text = "Launch the program now?";
        request.buttons = {"Later", "Launch"};
        request.shortcuts = {'l', 0};
        request.icon = FrontendIcon::Info;
        button = frontend.Ask(request).button;
    });
    ASSERT_TRUE(Pump([&] { return (shown = ShownAlert()) != nullptr; }));
    EXPECT_EQ(shown->Type(), B_INFO_ALERT);
    EXPECT_STREQ(shown->TextView()->Text(), "Launch the program now?");
    EXPECT_EQ(shown->CountButtons(), 2);
    PressKey(shown, "l");
    ASSERT_TRUE(Pump([&] { return button != -99; }));
    second.join();
    EXPECT_EQ(button, 0);
}

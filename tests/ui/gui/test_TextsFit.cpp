// Every text of the installer's windows is shown whole, in each of the ten languages, at
// 1x and at the larger scales of high-resolution screens: the installer window on both of
// its pages with each label its button takes, the folder panel, the tips, the replace
// question and the alerts with the longest buttons. Texts are measured as they are drawn
// (see TextFit.h), so this needs no display.
#include "platform/interface/gui/GuiTestSupport.h"

#include <string>
#include <vector>

#include "TextFit.h"
#include "locale/Catalogue.h"
#include "locale/xLocalize.h"
#include "platform/interface/DisplayScale.h"
#include "platform/interface/gui/Alert.h"
#include "platform/interface/gui/Button.h"
#include "platform/interface/gui/StringView.h"
#include "test_InstallerWinSupport.h"
#include "ui/gui/InstallerWin.h"
#include "ui/gui/LibFilePanel.h"
#include "ui/gui/LibTipWin.h"
#include "ui/gui/ReplaceAlert.h"

using window_test::Package;
using window_test::RecordingLooper;
using window_test::ScriptedFrontend;

namespace {

// The button labels of the installer's questions, by catalogue id, in pairs as they are
// asked: cancel or continue, restart later or now, run later or now, undo or keep.
const int32 kQuestionButtons[][2] = {{1015, 1028}, {1029, 1030}, {1018, 1019}, {1121, 1122}};
// The labels the window's one button takes: Install, Agree, Abort, Stop.
const int32 kButtonLabels[] = {1007, 1008, 1011, 1012};
// A long question (an earlier run to undo, with its folder).
const int32 kLongQuestion = 1126;

Package WordyPackage() {
    Package package;
    package.config.AddString("license", "Use it well.\n\nDo not sell it.");
    package.AddGroup("Typical", "The program, its script and its manual page");
    package.AddGroup("Documents", "The manual only");
    package.AddGroup("Full", "Everything");
    package.AddRecord({"tool", 204800, "Typical;Full;", {}});
    package.AddRecord({"tool.sh", 1200, "Typical;Full;", {}});
    package.AddRecord({"Tool Manual", 80000, "Documents;Full;", {}});
    return package;
}

// What is not whole in one window, added to `faults` with the language and the scale.
void Collect(BWindow* window, const std::string& where, std::vector<std::string>& faults) {
    for (const std::string& fault : text_fit::Faults(window))
        faults.push_back(where + " " + fault);
}

// Every window of the installer in every language at one display scale.
std::vector<std::string> FaultsAtScale(float scale) {
    DisplayScale::SetFactor(scale);
    std::vector<std::string> faults;
    ScriptedFrontend frontend;
    auto installer = WordyPackage().Build();
    for (const char* language : catalogue::kLanguages) {
        std::string where =
            std::string(language) + " at " + std::to_string(scale).substr(0, 4) + "x:";
        auto* application = new RecordingLooper();
        auto* window = new InstallerWin(installer.c_str());
        window->SetApplicationTarget(BMessenger(application));
        EXPECT_TRUE(window->LoadResources());
        window->Show();
        Settle();
        window->ApplyCommandLine(language, nullptr, nullptr, false);
        Settle();
        Collect(window, where + " licence page", faults);

        window->PostMessage(InstallerWin::kButtonPressed);
        Settle();
        Collect(window, where + " installation page", faults);
        xLocalize& texts = window->Localize();
        auto* button = dynamic_cast<BButton*>(window->FindView("button"));
        EXPECT_NE(button, nullptr);
        std::string shown = button != nullptr ? button->Label() : "";
        for (int32 id : kButtonLabels) {
            window->Lock();
            button->SetLabel(texts.GetString(id));
            window->Unlock();
            Collect(window, where + " button", faults);
        }
        window->Lock();
        button->SetLabel(shown.c_str());
        window->Unlock();

        window->PostMessage(InstallerWin::kFolderButton);
        Settle();
        if (LibFilePanel* panel = window->FolderPanel()) {
            // A short path: a longer one scrolls in its field, as typed text does.
            panel->SetPanelDirectory("/");
            Settle();
            Collect(panel->Window(), where + " folder panel", faults);
            panel->Hide();
        } else {
            ADD_FAILURE() << "no folder panel";
        }

        auto* tip = new LibTipWin();
        tip->SetText(texts.GetString(1005), 0);
        Collect(tip, where + " tip", faults);
        tip->SetText("The program, its script and its manual page", 160);
        Collect(tip, where + " description tip", faults);
        tip->Lock();
        tip->Quit();

        auto* replace = new ReplaceAlert("/tmp/new/tool", "/tmp/old/tool", true, language);
        Collect(replace, where + " replace question", faults);
        replace->Lock();
        replace->Quit();

        for (const auto& pair : kQuestionButtons) {
            LibString first = texts.GetString(pair[0]), second = texts.GetString(pair[1]);
            LibString question = texts.GetString(kLongQuestion);
            auto* alert = new BAlert("", question.String(), first.String(), second.String(),
                                     nullptr, B_WIDTH_AS_USUAL, B_WARNING_ALERT);
            Collect(alert, where + " question", faults);
            alert->Lock();
            alert->Quit();
        }

        window->AllowClose();
        CloseWindow(window);
        application->Lock();
        application->Quit();
    }
    DisplayScale::SetFactor(1);
    return faults;
}

std::string Listed(const std::vector<std::string>& faults) {
    std::string out;
    for (const std::string& fault : faults)
        out += "\n  " + fault;
    return out;
}

} // namespace

// The check itself: a label cut by its button's edge, a label covered by a view drawn
// after it, and two labels over each other are each found; a label that fits is not.
TEST(TextsFit, CutCoveredAndOverlappingTextsAreFound) {
    auto* window = new BWindow(BRect(0, 0, 299, 99), "check", B_TITLED_WINDOW, 0);
    window->Lock();
    window->AddChild(new BButton(BRect(10, 10, 40, 30), "narrow", "Much too long a label",
                                 new BMessage('nrrw')));
    window->AddChild(new BButton(BRect(200, 10, 290, 30), "wide", "Fits", new BMessage('wide')));
    window->AddChild(new BStringView(BRect(10, 50, 150, 65), "first", "Laufwerke"));
    window->AddChild(new BStringView(BRect(40, 50, 50, 65), "colon", ":"));
    window->AddChild(new BStringView(BRect(10, 75, 150, 90), "under", "Beneath another one"));
    auto* over = new BStringView(BRect(60, 76, 150, 90), "over", "On top");
    window->AddChild(over);
    window->Unlock();
    std::vector<std::string> faults = text_fit::Faults(window);
    std::string all = Listed(faults);
    EXPECT_NE(all.find("\"Much too long a label\""), std::string::npos) << all;
    EXPECT_NE(all.find("\"Laufwerke\""), std::string::npos) << all;
    EXPECT_NE(all.find("\"Beneath another one\""), std::string::npos) << all;
    EXPECT_EQ(all.find("\"Fits\""), std::string::npos) << all;
    window->Lock();
    window->Quit();
}

// Every factor a desktop may ask for: whole ones and the quarters between, where fonts
// round to whole pixel sizes and may grow a little more than the geometry.
class TextsFitAtScale : public ::testing::TestWithParam<float> {};

TEST_P(TextsFitAtScale, EveryWindowInEveryLanguage) {
    std::vector<std::string> faults = FaultsAtScale(GetParam());
    EXPECT_TRUE(faults.empty()) << faults.size() << " texts are not whole:" << Listed(faults);
}

INSTANTIATE_TEST_SUITE_P(Scales, TextsFitAtScale, ::testing::Values(1.0f, 1.25f, 1.5f, 1.75f, 2.0f),
                         [](const ::testing::TestParamInfo<float>& info) {
                             std::string name = std::to_string(int(info.param * 100)) + "percent";
                             return name;
                         });

#include <gtest/gtest.h>

#include <cstring>

#include "platform/interface/gui/ScrollView.h"
#include "platform/interface/gui/TextView.h"

namespace {

BTextView* MakeText(float width) {
    BRect frame(0, 0, width - 1, 99);
    auto* view = new BTextView(frame, "text", frame.OffsetToCopy(0, 0), B_FOLLOW_NONE, B_WILL_DRAW);
    view->MakeEditable(false);
    return view;
}

} // namespace

TEST(TextView, WrapsAtWordsAndKeepsEveryCharacter) {
    BTextView* view = MakeText(120);
    const char* text = "The quick brown fox jumps over the lazy dog again and again.\n\nEnd";
    view->SetText(text);
    EXPECT_EQ(view->TextLength(), (int32)std::strlen(text));
    EXPECT_GT(view->CountLines(), 3);
    BFont font;
    view->GetFont(&font);
    std::string joined;
    for (int32 line = 0; line < view->CountLines(); line++) {
        int32 start = view->OffsetAt(line);
        int32 end = line + 1 < view->CountLines() ? view->OffsetAt(line + 1) : view->TextLength();
        std::string part(text + start, end - start);
        // No line is wider than the text rectangle (spaces at the break do not count).
        std::string shown = part.substr(0, part.find_last_not_of(" \n") + 1);
        EXPECT_LE(font.StringWidth(shown.c_str()), 120) << shown;
        joined += part;
    }
    EXPECT_EQ(joined, text);
    // The empty paragraph is a line of its own.
    EXPECT_EQ(view->LineAt((int32)(std::strstr(text, "End") - text)), view->CountLines() - 1);
    delete view;
}

TEST(TextView, LongWordsAreCutAndNarrowViewsStillProgress) {
    BTextView* view = MakeText(40);
    view->SetText("/boot/home/config/settings/Tarnwhistle");
    EXPECT_GT(view->CountLines(), 2);
    // Narrower than a single character: one character per line, never stuck.
    view->SetTextRect(BRect(0, 0, 0, 10));
    EXPECT_EQ(view->CountLines(), view->TextLength());
    // Multi-byte characters are not split.
    view->SetText("ääää");
    EXPECT_EQ(view->CountLines(), 4);
    delete view;
}

TEST(TextView, HeightsAndScrollRange) {
    BRect frame(0, 0, 199, 49);
    auto* view = new BTextView(frame, "text", frame.OffsetToCopy(0, 0).InsetByCopy(2, 2),
                               B_FOLLOW_NONE, B_WILL_DRAW);
    auto* scroll = new BScrollView("scroll", view, B_FOLLOW_NONE, 0, false, true);
    std::string text;
    for (int i = 0; i < 30; i++)
        text += "line\n";
    view->SetText(text.c_str());
    float line = view->LineHeight();
    EXPECT_GT(line, 8);
    EXPECT_FLOAT_EQ(view->TextHeight(0, 4), 5 * line);
    EXPECT_FLOAT_EQ(view->TextHeight(-3, 1000), view->CountLines() * line);
    float min, max;
    scroll->ScrollBar(B_VERTICAL)->GetRange(&min, &max);
    EXPECT_FLOAT_EQ(max, 2 + view->TextHeight(0, view->CountLines() - 1) + 2 - 50);
    view->SetText(nullptr);
    EXPECT_EQ(view->TextLength(), 0);
    scroll->ScrollBar(B_VERTICAL)->GetRange(&min, &max);
    EXPECT_FLOAT_EQ(max, 0);
    delete scroll;
}

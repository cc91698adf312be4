// What the window system is told about each kind of window: tips are never managed nor
// focused, alerts and panels are dialogs of the main window without minimize or maximize,
// fixed-size windows offer no resize or maximize, and ordinary windows keep everything.
#include <gtest/gtest.h>

#include "platform/interface/gui/WindowHints.h"

TEST(WindowHints, ATipIsAnUnmanagedToolTipThatNeverTakesTheFocus) {
    WindowHints tip = WindowHints::For(B_BORDERED_WINDOW_LOOK, B_FLOATING_APP_WINDOW_FEEL,
                                       B_NOT_MOVABLE | B_NOT_CLOSABLE | B_NOT_ZOOMABLE |
                                           B_NOT_MINIMIZABLE | B_AVOID_FOCUS);
    EXPECT_TRUE(tip.overrideRedirect);
    EXPECT_FALSE(tip.takesFocus);
    EXPECT_FALSE(tip.decorated);
    EXPECT_FALSE(tip.transient);
    // Without a window manager nobody else would draw its thin border.
    EXPECT_TRUE(tip.drawnBorder);
    EXPECT_STREQ(tip.TypeAtomName(), "_NET_WM_WINDOW_TYPE_TOOLTIP");

    // A bordered window that may take the focus stays managed, without a frame.
    WindowHints bordered = WindowHints::For(B_BORDERED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0);
    EXPECT_FALSE(bordered.overrideRedirect);
    EXPECT_FALSE(bordered.decorated);
    EXPECT_TRUE(bordered.drawnBorder);
    EXPECT_EQ(bordered.motifDecorations, 0u);
}

TEST(WindowHints, AlertsAndPanelsAreDialogsOfTheMainWindow) {
    const uint32 alertFlags = B_NOT_RESIZABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE |
                              B_NOT_CLOSABLE | B_ASYNCHRONOUS_CONTROLS;
    // A modal alert, and one the worker asks, which floats instead.
    for (window_feel feel : {B_MODAL_APP_WINDOW_FEEL, B_FLOATING_APP_WINDOW_FEEL}) {
        WindowHints alert = WindowHints::For(B_MODAL_WINDOW_LOOK, feel, alertFlags);
        EXPECT_STREQ(alert.TypeAtomName(), "_NET_WM_WINDOW_TYPE_DIALOG");
        EXPECT_TRUE(alert.transient);
        EXPECT_TRUE(alert.takesFocus);
        EXPECT_FALSE(alert.overrideRedirect);
        EXPECT_EQ(alert.motifFlags, uint32(kMotifHintsFunctions | kMotifHintsDecorations));
        EXPECT_EQ(alert.motifFunctions, uint32(kMotifFunctionMove));
        EXPECT_EQ(alert.motifDecorations & (kMotifDecorMinimize | kMotifDecorMaximize), 0u);
        EXPECT_NE(alert.motifDecorations & kMotifDecorTitle, 0u);
    }
    // A panel is a titled, resizable window; it serves the main window all the same, and
    // is not minimized apart from it.
    WindowHints panel =
        WindowHints::For(B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, B_ASYNCHRONOUS_CONTROLS, true);
    EXPECT_STREQ(panel.TypeAtomName(), "_NET_WM_WINDOW_TYPE_DIALOG");
    EXPECT_TRUE(panel.transient);
    EXPECT_EQ(panel.motifFunctions, uint32(kMotifFunctionMove | kMotifFunctionResize |
                                           kMotifFunctionMaximize | kMotifFunctionClose));
}

TEST(WindowHints, WindowsOfferOnlyWhatTheirFlagsAllow) {
    // The installer window: fixed size, not minimizable, not zoomable, closable.
    WindowHints installer = WindowHints::For(B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL,
                                             B_NOT_RESIZABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE);
    EXPECT_STREQ(installer.TypeAtomName(), "_NET_WM_WINDOW_TYPE_NORMAL");
    EXPECT_FALSE(installer.transient);
    EXPECT_EQ(installer.motifFunctions, uint32(kMotifFunctionMove | kMotifFunctionClose));
    EXPECT_EQ(installer.motifDecorations,
              uint32(kMotifDecorBorder | kMotifDecorTitle | kMotifDecorMenu));

    // Zoomable but of fixed size still cannot be maximized; fixed in one direction only
    // is still resizable.
    WindowHints fixed =
        WindowHints::For(B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, B_NOT_RESIZABLE);
    EXPECT_EQ(fixed.motifFunctions & (kMotifFunctionResize | kMotifFunctionMaximize), 0u);
    EXPECT_NE(fixed.motifFunctions & kMotifFunctionMinimize, 0u);
    WindowHints wide =
        WindowHints::For(B_DOCUMENT_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, B_NOT_V_RESIZABLE);
    EXPECT_NE(wide.motifFunctions & kMotifFunctionResize, 0u);

    // An ordinary window offers everything.
    WindowHints plain = WindowHints::For(B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0);
    EXPECT_EQ(plain.motifFunctions,
              uint32(kMotifFunctionMove | kMotifFunctionResize | kMotifFunctionMinimize |
                     kMotifFunctionMaximize | kMotifFunctionClose));
    EXPECT_TRUE(plain.takesFocus);

    // A window without any frame is placed by us alone.
    WindowHints bare = WindowHints::For(B_NO_BORDER_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0);
    EXPECT_TRUE(bare.overrideRedirect);
    EXPECT_FALSE(bare.drawnBorder);
}

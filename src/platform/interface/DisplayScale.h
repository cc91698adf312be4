#pragma once

// How much larger than its layout a window is drawn. Views, windows and fonts keep the
// sizes they are laid out with (layout units, which are pixels at 1x); the toolkit layer
// multiplies them by the display scale on their way to the screen, and divides what comes
// back (mouse positions, window frames the window manager chose). Text is measured at the
// size it is drawn with and the width given in layout units, so a label that fits at one
// scale fits at every scale.
//
// The factor is what the desktop asks for: $TARNW_SCALE when set, else $GDK_SCALE, else
// the X resource Xft.dpi (96 dpi is 1x). It is rounded to quarters and kept within 1..4:
// a desktop at 100 dpi gets the pixel-exact 1x rather than a blurred 1.04x.

#include <string>

class DisplayScale {
public:
    static constexpr float kMinimum = 1;
    static constexpr float kMaximum = 4;

    // The factor in use; 1 until one is set.
    static float Factor();
    static void SetFactor(float factor);
    // True once SetFactor was called: the desktop's factor is then not looked up again.
    static bool IsSet();

    // The factor for these settings (each may be null): a valid override wins, then the
    // toolkit scale, then the resources' Xft.dpi; 1 when none gives one.
    static float FromSettings(const char* override, const char* gdkScale, const char* xResources);
    // A factor written as a number ("2", "1.5"); 0 when the text is no usable factor.
    static float Parse(const char* text);
    // The Xft.dpi value of an X resource database text, 0 when it has none.
    static float XftDpi(const char* xResources);
    // A factor rounded to quarters within kMinimum..kMaximum.
    static float Round(float factor);
    // The whole pixel size a font of `size` is drawn with at `factor`: the largest not
    // above size x factor, so that no text grows more than the geometry around it (at
    // 1.25x a 10-pixel font is drawn at 12 pixels, not 13). At 1x the size itself.
    static float FontSize(float size, float factor);
};

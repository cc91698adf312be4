#pragma once

#include "platform/interface/gui/View.h"

// The installer window's background: the panel colour, and the program's banner written
// upwards along the window's right edge.
class BackgroundView : public BView {
public:
    explicit BackgroundView(BRect frame);
    ~BackgroundView() override;

    void Draw(BRect updateRect) override;

    // The banner text and where it runs: the baseline's x and the y it starts from.
    static const char* BannerText();
    static constexpr float kBannerSize = 9;
    static constexpr float kBannerBaseline = 453;
    static constexpr float kBannerBottom = 216;
};

#pragma once

#include "platform/interface/gui/StringView.h"

// A string view that can shorten its text to its width, and whose Show() and Hide()
// do not nest.
class LibStringView : public BStringView {
public:
    LibStringView(BRect frame, const char* name, const char* text);
    ~LibStringView() override;

    void Hide() override;
    void Show() override;

    // Shows `text` shortened with the view's font to the frame's width (B_TRUNCATE_END,
    // _BEGINNING, _MIDDLE or _SMART); a text that fits is shown as it is.
    void SetTruncatedText(const char* text, const uint32& mode);
};

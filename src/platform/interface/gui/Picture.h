#pragma once

// BPicture: a recorded sequence of drawing calls (BView::BeginPicture/EndPicture) that a
// view can draw again anywhere with DrawPicture.

#include <memory>
#include <vector>

#include "platform/interface/Rect.h"
#include "platform/support/SupportDefs.h"

class Painter;
struct PictureOp;

class BPicture {
public:
    BPicture();
    BPicture(const BPicture& other);
    BPicture& operator=(const BPicture& other);
    virtual ~BPicture();

    int32 CountOps() const { return (int32)fOps.size(); }
    // The rectangle the recorded drawing covers (invalid when empty).
    BRect Bounds() const;
    // Draws the recording through painter, moved by offset.
    void Play(Painter& painter, BPoint offset) const;

private:
    friend class PictureRecorder;
    std::vector<std::shared_ptr<const PictureOp>> fOps;
};

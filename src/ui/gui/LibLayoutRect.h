#pragma once

#include "platform/interface/Rect.h"

// The edges a rectangle can be laid against.
enum Edge { kEdgeTop = 0, kEdgeBottom = 1, kEdgeLeft = 2, kEdgeRight = 3 };

// A width x height rectangle laid against an edge of `reference`, `gap` pixels on from
// it. Against the top or bottom edge the rectangle keeps the reference's left, and its own
// top (ownEdge kEdgeTop) or bottom (kEdgeBottom) lies at that edge + gap; against the left
// or right edge it keeps the reference's top, and its own left (kEdgeLeft) or right
// (kEdgeRight) lies at that edge + gap. Any other pairing gives the rectangle at (0,0).
BRect LibLayoutRect(const BRect& reference, const Edge& referenceEdge, const Edge& ownEdge,
                    const float& gap, const float& width, const float& height);

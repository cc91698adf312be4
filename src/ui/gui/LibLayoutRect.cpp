#include "ui/gui/LibLayoutRect.h"

#include "ui/gui/LibRect.h"

BRect LibLayoutRect(const BRect& reference, const Edge& referenceEdge, const Edge& ownEdge,
                    const float& gap, const float& width, const float& height) {
    bool horizontalEdge = referenceEdge == kEdgeTop || referenceEdge == kEdgeBottom;
    bool verticalEdge = referenceEdge == kEdgeLeft || referenceEdge == kEdgeRight;
    if (horizontalEdge && (ownEdge == kEdgeTop || ownEdge == kEdgeBottom)) {
        float at = (referenceEdge == kEdgeTop ? reference.top : reference.bottom) + gap;
        float top = ownEdge == kEdgeTop ? at : at - height;
        return LibRect(reference.left, top, width, height);
    }
    if (verticalEdge && (ownEdge == kEdgeLeft || ownEdge == kEdgeRight)) {
        float at = (referenceEdge == kEdgeLeft ? reference.left : reference.right) + gap;
        float left = ownEdge == kEdgeLeft ? at : at - width;
        return LibRect(left, reference.top, width, height);
    }
    return LibRect(0, 0, width, height);
}

#pragma once

// Draws an SVG image into a square PNG picture, for the installer window's icon: the window
// toolkit reads PNG only, while a menu entry's icon may be scalable.
//
// librsvg is loaded when first needed rather than linked: packages can be made where it is
// missing, and then an SVG icon still goes into the menu entry; only the installer window
// goes without an icon of the package's own.

#include <string>

namespace tarnw::pack {

struct SvgPicture {
    std::string png;    // the picture, `side` pixels square; empty when it could not be drawn
    std::string reason; // why not, when `png` is empty
};

SvgPicture DrawSvgAsPng(const std::string& svg, int side);

} // namespace tarnw::pack

#pragma once

// Finds texts that a window does not show whole: drawn partly outside the view that draws
// them (wider than their control), over another text, or under a view drawn after them.
// The window's views are drawn into a recorder, not onto a screen, so no display is
// needed; at a display scale other than 1 text is measured as it is drawn there.

#include <string>
#include <vector>

class BWindow;

namespace text_fit {

// One complaint per text that is not shown whole, naming the window, the text and what
// cuts it. Call with the window unlocked.
std::vector<std::string> Faults(BWindow* window);

} // namespace text_fit

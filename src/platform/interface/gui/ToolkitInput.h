#pragma once

// The toolkit's input events in the old platform's terms: modifier keys, mouse buttons,
// the bytes of a key press, files dropped on a window. Read from the event the toolkit is
// handling; toolkit thread only.

#include <string>

#include "platform/support/SupportDefs.h"

class BMessage;

namespace toolkit_input {

// The modifier keys held, as B_SHIFT_KEY and the like.
uint32 Modifiers();
// The mouse buttons held, as B_PRIMARY_MOUSE_BUTTON and the like.
uint32 Buttons();
// The bytes a key press stands for, in the old platform's key codes.
std::string KeyBytes(int key);
// Adds a "refs" entry for every local file named in a text/uri-list; answers how many.
int32 AddDroppedRefs(BMessage* message, const char* text, int length);

} // namespace toolkit_input

#pragma once

// The block that the installer adds to the user boot script when a package asks for a
// StartUp folder: at every start it runs the folder's items, those with a "run_priority"
// attribute first (lowest first), then the others.

#include <string>

// The block's contents (comment header and shell fragment, joined by newlines, the last line
// without one). `folder` is the StartUp folder's path; `supportEmail` is named in the header.
std::string StartupBlockText(const char* folder, const char* supportEmail);

// `text` as one shell word: unchanged when it holds only characters that need no quoting,
// otherwise in single quotes.
std::string ShellWord(const std::string& text);

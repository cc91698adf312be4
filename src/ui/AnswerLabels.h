#pragma once

// The buttons of every question the installer can ask, so that an answers file can be
// checked before anything happens: an "answer:" line must name one of them (in the run's
// language or in English) or give a button index.
//
// A new question with new buttons adds its buttons' catalogue ids to the list in
// AnswerLabels.cpp.

#include <string>
#include <vector>

// The labels in `language` and in English, each once, in a stable order.
std::vector<std::string> InstallerButtonLabels(const char* language);

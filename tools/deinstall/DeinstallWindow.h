#pragma once

// The deinstaller's window: the product and its about image, the list of what will be
// removed, Remove and Cancel, the progress line and, at the end, the result. The removal
// runs on a worker thread; its questions (putting saved files back) and the result are
// alerts shown while the window stays responsive.

#include <functional>

class Deinstaller;
class DeinstallTexts;
class Frontend;
class Transcript;

class DeinstallWindow {
public:
    static bool DisplayOpens();
    // Shows the window until the user closes it; returns the exit status.
    static int Run(Deinstaller& deinstaller, const DeinstallTexts& texts, Transcript& transcript);
    // Tells the user that this deinstaller cannot work.
    static void ShowDamaged(const DeinstallTexts& texts, Transcript& transcript);
    // Runs `dialogue` with alerts on the toolkit loop, without the window; its result.
    static int RunWithAlerts(Transcript& transcript, const std::function<int(Frontend&)>& dialogue);
};

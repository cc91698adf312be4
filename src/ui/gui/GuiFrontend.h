#pragma once

#include <string>

#include "platform/interface/Frontend.h"

// The window's front-end: every question and message is a platform alert (the replace
// question is a ReplaceAlert), shown by the toolkit thread while the asking thread waits.
// Status texts reach the window through its own messages, so Status() shows nothing.
//
// Untitled alerts and the replace question carry the product's name as their window title
// (a window manager shows it in their title bar); the requests keep the design's titles.
class GuiFrontend : public Frontend {
public:
    FrontendAnswer Ask(const FrontendRequest& request) override;

    // The name every alert window is titled with from now on (any thread).
    static void SetProductName(const std::string& name);
    static std::string ProductName();
};

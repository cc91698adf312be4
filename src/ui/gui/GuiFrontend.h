#pragma once

#include "platform/interface/Frontend.h"

// The window's front-end: every question and message is a platform alert (the replace
// question is a ReplaceAlert), shown by the toolkit thread while the asking thread waits.
// Status texts reach the window through its own messages, so Status() shows nothing.
class GuiFrontend : public Frontend {
public:
    FrontendAnswer Ask(const FrontendRequest& request) override;
};

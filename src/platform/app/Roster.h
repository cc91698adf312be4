#pragma once

// BRoster: finds and starts applications.
//
// An application is an executable file whose signature (kept in an attribute, see
// BAppFileInfo) names it. FindApp looks for one in the application folders and the bin
// folders (find_directory) and along PATH. Launch starts a program with posix_spawn and
// an argument vector; nothing goes through a shell.

#include "platform/support/SupportDefs.h"

struct entry_ref;
class BMessage;

class BRoster {
public:
    BRoster();
    ~BRoster();

    // An executable whose signature is mimeSig (compared case-insensitively, as MIME
    // types are). B_LAUNCH_FAILED_APP_NOT_FOUND when there is none, B_BAD_VALUE for an
    // empty signature.
    status_t FindApp(const char* mimeSig, entry_ref* app) const;

    // Starts the application with the signature mimeTypeOrPath, or the executable at
    // that path when it names one (an absolute path, or a path with a '/'). argv holds
    // the arguments after the program's name. The new process's id goes to team.
    status_t Launch(const char* mimeTypeOrPath, int argc, char** argv,
                    team_id* team = nullptr) const;
    status_t Launch(const char* mimeTypeOrPath, BMessage* initialMessage = nullptr,
                    team_id* team = nullptr) const;
    status_t Launch(const entry_ref* ref, int argc, char** argv, team_id* team = nullptr) const;
    status_t Launch(const entry_ref* ref, const BMessage* initialMessage = nullptr,
                    team_id* team = nullptr) const;

    // Whether the application with the signature runs in this process (be_app).
    bool IsRunning(const char* signature) const;
};

extern const BRoster* be_roster;

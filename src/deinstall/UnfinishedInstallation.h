#pragma once

// An installation that did not finish (killed, or its machine went down) leaves no list of
// what it installed, but its journal beside the installation folder. The deinstaller then
// takes the journal as its record: it removes everything the run placed and puts back
// what the run moved aside, as the installer's own undo does, and never reports "nothing
// left" while the run's files remain.

#include <cstdio>
#include <optional>
#include <string>

#include "deinstall/DeinstallTexts.h"
#include "engine/Journal.h"
#include "platform/interface/Frontend.h"

class RunLock;
class RunScope;
class Transcript;

// Whether an unfinished run into `installFolder` left its journal; fills `contents`. A
// journal that another user could have written, or that names places outside `scope` (when
// given), is not believed: false, with `setAside` its path and `stranger` the place it
// names (empty for a journal of another user's).
bool FindUnfinishedInstallation(const std::string& installFolder, const RunScope* scope,
                                JournalContents& contents, std::string& setAside,
                                std::string& stranger);

// Shows what will be removed and put back, asks for consent (`consent` set decides without
// asking, as "remove: yes" does), undoes the run and tells the result. Returns the exit
// status (0 undone, 4 not entirely, 7 no consent). `lock` is the installation folder's
// lock, held by the caller; it is let go before the folders that held it are removed.
int UndoUnfinishedInstallation(const JournalContents& contents, const DeinstallTexts& texts,
                               Frontend& frontend, Transcript& transcript, FILE* out,
                               std::optional<bool> consent, RunLock& lock);

#pragma once

// The names of the standard folders ("Desktop", "Common Bin", "User Settings", ...) that
// packages use for destinations and links, and the folder identifiers they stand for.
// Names are exact and case-sensitive; each identifier has one name.

#include "platform/storage/FindDirectory.h"

class LibString;

// The identifier of a standard folder name; false (and `which` untouched) for any other
// name.
bool LibGetStdDirName(const char* name, directory_which& which);
// The name of an identifier; false (and `name` untouched) when it has none.
bool LibGetStdDirName(const directory_which& which, LibString& name);
bool LibStdDirNameExists(const char* name);

// The name of an identifier, or null.
const char* LibStdDirNameOf(int32 which);

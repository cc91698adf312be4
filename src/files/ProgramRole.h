#pragma once

// The installer and the deinstaller are one program. An installer whose package includes
// the deinstaller carries the deinstaller record (resource 'RAWT' 2001); the run places a
// copy of its own program image in the installation folder with the deinstaller's
// resources, among them the role record, which makes that copy run as the deinstaller.

#include <string_view>

#include "platform/support/SupportDefs.h"
#include "platform/support/TypeConstants.h"

constexpr type_code kRoleResourceType = 'TWrl';
constexpr int32 kRoleResourceId = 1;
constexpr const char* kRoleResourceName = "TWC:role";
constexpr std::string_view kDeinstallerRole = "deinstaller";

constexpr type_code kDeinstallerResourceType = B_RAW_TYPE;
constexpr int32 kDeinstallerResourceId = 2001;
constexpr const char* kDeinstallerResourceName = "TarnDeinstall";
// The deinstaller record's bytes: the deinstaller is this program itself (format 1).
constexpr std::string_view kDeinstallerRecord = "TarnDeinstall 1\n";

// True when the program file at path carries the deinstaller's role record.
bool RunsAsDeinstaller(const char* programPath);

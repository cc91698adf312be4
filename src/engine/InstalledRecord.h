#pragma once

// The list of what an installation placed, kept for its deinstaller in a small file of its
// own beside it ("<installation folder>/.<deinstaller name>.tarnw-record"): a flattened
// message, described at kInstalledResourceId in InstallConfig.h and in docs/formats.md.
// The deinstaller is written once, whole, before the items; the list is only known at the
// end of the run, and a file of its own takes it without rewriting the program (which
// would need the program's size a second time on the volume).
//
// The file is written under a temporary name (".tarnw-record-<pid>-...", which undo and
// recovery take away), synced and renamed, so it is either whole or absent. Its bytes are
// untrusted when read back: the size is bounded and the message is checked as it is
// unflattened.

#include <cstdint>
#include <string>

#include "platform/app/Message.h"

namespace InstalledRecord {

// The record file of the deinstaller at `deinstaller`.
std::string PathFor(const std::string& deinstaller);

// Writes `list` as the record of the deinstaller at `deinstaller`. False with `error` (the
// path and the system's reason) when it could not be written whole; nothing is left then.
bool Write(const std::string& deinstaller, const BMessage& list, std::string& error);

// Reads the record of the deinstaller at `deinstaller`; a deinstaller placed by an earlier
// version carries it as its resource 'CSTR' 2003 instead, which is read when there is no
// record file. False with `error` when there is none or it is damaged.
// Only a record this user wrote is read (storage/OwnFile.h); `notOwn`, when given, says
// it was refused for that reason.
bool Read(const std::string& deinstaller, BMessage& list, std::string& error,
          bool* notOwn = nullptr);

// A "folder_identity" value: a folder the installation made or works in, with its device
// and inode ("device:inode:path"), so that the deinstaller acts in it only while it is
// still that folder.
std::string FolderIdentity(const std::string& folder, uint64_t device, uint64_t inode);
bool ParseFolderIdentity(const std::string& text, std::string& folder, uint64_t& device,
                         uint64_t& inode);

} // namespace InstalledRecord

#pragma once

#include <string>

// File-system operations the installer uses to place, move, remove and inspect entries.
// Everything is done with system calls in this process: no shell, no external cp/mv/rm,
// and nothing here changes the process's working directory (the worker thread must not
// move the window's). Copies keep modes, times, symbolic links (never followed) and
// extended attributes, so the MIME type and every node attribute travel with the data.
//
// Each section below lives in a file of its own: LibFilePlacing.cpp, LibFileArchives.cpp,
// LibFileNames.cpp and LibFileTypes.cpp.
//
// The operations that give nothing back have a checked twin returning a Result whose
// failure names the step, the path and the system's reason; the plain ones call it and,
// where a failure used to be told on standard error, still tell it there.

#include "lib/LibDateTime.h"
#include "lib/LibString.h"
#include "lib/Result.h"
#include "platform/app/Message.h"
#include "platform/storage/Entry.h"
#include "platform/storage/Path.h"
#include "platform/support/SupportDefs.h"

// Placing and removing. Paths are absolute or relative to the working directory.

// Copies a file, link or folder tree to destination (an existing folder destination
// receives the source under its own leaf, as `cp -R` does). True when the whole copy
// succeeded; a failed copy removes what it had written.
bool LibCopy(const char* source, const char* destination);
// Moves source to destination. On one volume this is a rename (replacing an existing
// file); across volumes the tree is copied, its type re-sniffed, and the source removed
// only after a complete copy. A failed copy keeps the source and returns false.
bool LibMove(const char* source, const char* destination);
// LibMove, telling why a move failed (nothing is written to standard error).
Result<void> LibMoveEntry(const char* source, const char* destination);
// Moves source to destination as it is: as LibMove, but nothing is re-sniffed across
// volumes, so that a user's entry moved aside for safekeeping (saved, put in the Trash)
// and later put back gains no attribute it did not have.
bool LibMoveAsIs(const char* source, const char* destination);
Result<void> LibMoveEntryAsIs(const char* source, const char* destination);
// As LibMoveAsIs, for a user's entry kept to be put back later: across volumes the copy
// must keep every mode, owner and user attribute of the source, or it is taken back and
// the source stays; *lost then says what the destination's volume could not keep (FAT
// and exFAT keep neither modes nor attributes).
bool LibMoveKeepingAll(const char* source, const char* destination, std::string* lost);
// Removes an entry and everything below it; links are removed, never followed. A path
// that does not exist is no failure.
Result<void> LibRemoveEntry(const char* path);
void LibUnlink(const char* path);
// Sets the MIME type of the entry itself from its content (a folder's contents keep
// theirs).
Result<void> LibSniffType(const char* path);
void Libmimeset(const char* path);
// Creates (or replaces) a symbolic link at link pointing to target.
bool LibSymLink(const char* target, const char* link);
// Moves the item into the Trash (with a .trashinfo record). When the name is taken
// there and overwrite is false, the first free copy name ("a copy", "a copy 1", ...) is
// used; with overwrite true the entry already in the Trash is replaced. Gives the entry's
// path in the Trash.
Result<std::string> LibTrashEntry(const BPath& item, bool overwrite);
void LibTrash(const BPath& item, const bool& overwrite);
// Renames the item, in its own folder, to its first free copy name; gives its new path.
Result<std::string> LibDuplicateEntry(const char* path);
void LibDuplicate(const char* path);
// Creates the folder and any missing parents with mode 0777 less the umask. False when the path
// already existed (nothing is changed then).
bool Libmkdir(const char* path);
// Makes path the working directory when it exists. Never called from a worker thread.
Result<void> LibEnterFolder(const char* path);
void LibChangeDirectory(const char* path);

// Archives. All three work in-process and leave the working directory alone.

// Writes a ZIP archive at archive holding item under its leaf name, folders recursed.
bool LibZip(const char* archive, const BPath& item, int level);
// Unpacks the archive beside itself, overwriting existing files.
bool LibUnzip(const char* archive);
// Writes a tar archive (ustar, with long-name records) holding item under its leaf name.
bool LibTar(const char* item, const char* archive);

// Names and paths.

// Searches the ':'-separated list in the environment variable for file; the first
// existing candidate is stored in found.
bool LibFindEnvFile(const char* variable, const char* file, BPath& found);

// Appends a fresh leaf "<prefix><counter><pid><seconds>" to folder (the common temporary
// folder when folder is empty). The counter is process-wide and wraps after 10000.
void LibUniqueName(BPath& folder, const char* prefix);
bool LibGetEntryRef(const char* path, entry_ref& ref);
bool LibGetFullPath(const entry_ref& ref, LibString& path);
bool LibGetFullPath(const entry_ref& ref, BPath& path);
void LibGetPath(const entry_ref& folder, const char* leaf, BPath& path);
entry_ref LibGetParentRef(const entry_ref& ref);
void LibGetParentPath(const char* path, LibString& parent);
// Copies the leaf of path into buffer, which must hold B_FILE_NAME_LENGTH bytes.
void LibGetChildName(const char* path, char* buffer);
// The folder holding the running program's executable.
void LibGetWorkingDirectory(BPath& folder);
bool LibGetSettingsPath(LibString& path);
bool LibGetSettingsPath(char* buffer, const int& size);
// For a save-panel message: "directory" plus the trimmed "name"; returns the name's length.
int32 LibGetFilePath(const BMessage* message, BPath& path);
bool LibExists(const char* path);

// Types and information.

// Copies the node's MIME type into buffer (B_MIME_TYPE_LENGTH bytes); with describe the
// buffer receives a kind text instead: "Folder", "Be Application", "Symbolic Link" or
// "Unknown".
void LibGetMimeType(const entry_ref& ref, char* buffer, bool describe);
Result<void> LibSetEntryType(const char* path, const char* type);
void LibSetMimeType(const char* path, const char* type);
// Sets the type and the preferred application; a null application means this program.
Result<void> LibSetEntryTypeAndApp(const char* path, const char* type, const char* preferredApp);
void LibSetFileType(const char* path, const char* type, const char* preferredApp);
// Data size of the node, plus its attributes' sizes when asked, plus (for a folder) the
// sizes of everything below it. 64 bits wide, so trees beyond 2 GB are counted right.
int64 LibEntrySize(const char* path, bool withAttributes);

LibDateTime LibCreationDate(const char* path, const bool& local);
LibDateTime LibCreationDate(const entry_ref& ref, const bool& local);
LibDateTime LibLastModifiedDate(const BEntry& entry, const bool& local);
LibDateTime LibLastModifiedDate(const char* path, const bool& local);
LibDateTime LibAccessedDate(const BEntry& entry, const bool& local);

// Opens the entry with the desktop's opener ($TARNW_OPEN_COMMAND, else xdg-open); false
// when the path does not exist or the opener could not be started.
bool LibOpenEntry(const char* path);
// Shows the entry's information; on this system that is opening its folder.
bool LibInfoEntry(const char* path);

// An unnamed file in the common temporary folder, open for reading and writing; it
// disappears when closed. Where the file system cannot make unnamed files, a file named
// from prefix is made and unlinked at once. -1 on failure.
int LibAnonymousTempFile(const char* prefix);

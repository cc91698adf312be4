#pragma once

// The record an installation run keeps of every change it makes, written before the
// change is made and flushed to the disk, so that a run killed at any instant leaves a
// true account of what it may have done. Undo, recovery by a later run and the
// deinstaller of an unfinished installation all read it. Its place is beside the
// installation folder ("<destination>/.<folder>.tarnw-journal"), so that whoever knows
// the installation folder finds it; docs/formats.md describes the lines.
//
// A journal read from the disk is untrusted bytes: every line is checked, a line that
// does not end (the run was killed while writing it) or does not parse ends the reading,
// and a path that is not a plain absolute path is refused.

#include <string>
#include <vector>

#include "platform/support/SupportDefs.h"

enum class JournalKind {
    Folder, // a folder about to be made (path)
    Entry,  // a file, link or tree about to be placed where nothing was (path)
    Move,   // an existing entry about to be moved aside (from, to)
    Trash,  // an existing entry about to go to the Trash (from, file in the Trash, .trashinfo)
    Before, // a file about to be edited in place; its former self is kept (path, copy)
    Commit, // the run completed; what it moved aside may go
    // A folder the run made or works in, and its device and inode: an undo acts inside it
    // only while the folder at that path is still that one (path, device, inode).
    Identity
};

// A plain absolute path, the only kind a journal or a deinstaller's record may name:
// starts with "/", is not "/" itself, has no NUL and no empty, "." or ".." component.
bool IsPlainAbsolutePath(const std::string& path);

struct JournalRecord {
    JournalKind kind = JournalKind::Entry;
    std::string path;  // the entry concerned
    std::string other; // Move: where it goes; Trash: the file in the Trash; Before: the copy
    std::string third; // Trash: the .trashinfo record
    uint64 device = 0; // Identity
    uint64 inode = 0;  // Identity
};

struct JournalContents {
    std::string installFolder;
    int32 pid = 0;
    std::string product;
    std::vector<JournalRecord> records;
    bool committed = false;
};

class Journal {
public:
    Journal() = default;
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    // Where the journal of an installation folder lives, and its lock file.
    static std::string PathFor(const std::string& installFolder);
    static std::string LockPathFor(const std::string& installFolder);

    // Starts a new journal (replacing one that is there). False with Error() set.
    bool Begin(const std::string& installFolder, const std::string& product);
    bool IsOpen() const { return fFd >= 0; }
    // Appends one record before its change is made; false (with Error()) when it could not
    // be written, and then the change must not be made. Every record is in the kernel's
    // hands at once, so a killed process leaves it behind, and on the disk before its
    // change can be, so a power cut leaves it too: each is flushed at once, except the
    // records of what is made inside an installation folder this journal made (flushed),
    // which its undo removes as a whole with whatever is in it.
    bool Note(const JournalRecord& record);
    bool NoteFolder(const std::string& path) { return Note({JournalKind::Folder, path, "", ""}); }
    bool NoteEntry(const std::string& path) { return Note({JournalKind::Entry, path, "", ""}); }
    // Notes the device and inode of the folder at `path` (not following a link); false
    // when it is no folder or the record could not be written.
    bool NoteIdentity(const std::string& path);
    bool NoteMove(const std::string& from, const std::string& to) {
        return Note({JournalKind::Move, from, to, ""});
    }
    // Whether anything but the header was written.
    bool HasChanges() const { return !fRecords.empty(); }
    const std::vector<JournalRecord>& Records() const { return fRecords; }
    const std::string& InstallFolder() const { return fInstallFolder; }
    const std::string& FilePath() const { return fPath; }
    const std::string& Error() const { return fError; }
    // The contents as a reader would find them.
    JournalContents Contents() const;

    // Closes and removes the file: the run is settled one way or the other.
    void Discard();
    // Closes the file and leaves it for whoever comes next (the deinstaller, a later run).
    void Close();

    // One line of the format, and its reading; exposed for the fuzz target and tests.
    static std::string FormatRecord(const JournalRecord& record);
    static bool Parse(const std::string& bytes, JournalContents& out, std::string& error);
    // Reads the journal at `path` only when it is this user's own file (storage/OwnFile.h);
    // `notOwn`, when given, is set when it was refused for that reason.
    static bool Load(const std::string& path, JournalContents& out, std::string& error,
                     bool* notOwn = nullptr);

private:
    // `flush` asks for the line on the disk now, not only in the kernel's hands.
    bool WriteLine(const std::string& line, bool flush);
    bool InsideMadeInstallFolder(const std::string& path) const;

    int fFd = -1;
    off_t fEnd = 0;                  // where the next line goes
    off_t fReserved = 0;             // bytes set aside for the file so far
    bool fMadeInstallFolder = false; // its folder record is on the disk
    std::string fPath;
    std::string fInstallFolder;
    std::string fProduct;
    std::string fError;
    std::vector<JournalRecord> fRecords;
};

#pragma once

// The resources of the running program (its own executable) or of a named file, with the
// payload entries in and out of them. Payload entries are ZIP archives of one file or
// folder; they are streamed straight between the container and the file system.

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "archive/ZipContents.h"
#include "archive/ZipExtractor.h"
#include "lib/LibString.h"
#include "lib/LibStringList.h"
#include "lib/Result.h"
#include "platform/interface/GraphicsDefs.h"
#include "platform/interface/Rect.h"
#include "platform/storage/Entry.h"
#include "platform/storage/File.h"
#include "platform/storage/Resources.h"
#include "platform/support/SupportDefs.h"

class LibAppResource : public BResources {
public:
    // The running program's own executable (through /proc/self/exe), opened with mode.
    explicit LibAppResource(const uint32& openMode);
    // The file at path (links followed); a missing file leaves the object unattached
    // and every look-up finds nothing.
    LibAppResource(const char* path, const uint32& openMode);
    ~LibAppResource() override;

    // True when the object is attached to a resource container.
    bool IsAttached() const { return fAttached; }

    // How ExtractEntry unpacks one payload.
    struct ExtractOptions {
        // False writes the entry's raw bytes instead of unpacking them.
        bool unzip = true;
        // Set on every file and folder unpacked (the deinstaller's tag, for example),
        // written with the file's data in the same pass.
        std::vector<ZipExtractor::Attribute> attributes;
        // Times the item itself is given (seconds); none keeps those the archive holds.
        std::optional<int64> accessed;
        std::optional<int64> modified;
        // The item may be written in place rather than beside it (see
        // ZipExtractor::SetWriteInPlace): for a caller whose journal names each item first.
        bool inPlace = false;
        // With inPlace, the call may return before a small item that is one file is
        // written: it is written on another thread while the caller goes on with the next
        // items, and FinishExtractions() tells how it went. For an item that nothing reads
        // or moves until then.
        bool mayFinishLater = false;
    };
    enum class Extracted {
        Placed,        // the item is in place (or, finishing later, on its way)
        NoSuchPayload, // the container holds no payload of that id: nothing was written
    };
    // Unpacks payload 'RAWT' id to destination, the full path the item is to have. A
    // failure (the entry is damaged or hostile, the destination cannot be written) leaves
    // nothing half-written at destination and says why.
    Result<Extracted> ExtractEntry(const int32& id, const char* destination,
                                   ExtractOptions options);
    // The same with the options' defaults: true when the item is in place or there is no
    // such payload, false (with LastError()) when it could not be unpacked.
    bool ExtractEntry(const int32& id, const char* destination, bool unzip);
    // What payload 'RAWT' id unpacks to, from its archive's directory alone. True with no
    // entries when there is no such payload; false, with LastError(), when its directory
    // cannot be read.
    bool ListEntry(const int32& id, std::vector<ZipContents::Entry>& entries);
    // An item finished later that could not be written: failure.path is its destination.
    struct LateFailure {
        int32 id;
        Failure failure;
    };
    // Waits until every item left to finish later is written; returns those that failed
    // (nothing of them is left), in the order they were extracted. Any other extraction
    // waits for them first, and so does the object's end.
    std::vector<LateFailure> FinishExtractions();
    // What the last ExtractEntry unpacked, relative to its destination ("" is the
    // destination itself), in the archive's order.
    const std::vector<std::string>& ExtractedPaths() const { return fExtracted; }
    // Told, while ExtractEntry unpacks an entry, how many of the entry's bytes have been
    // read; possibly from several threads at once. Null stops it.
    void SetExtractProgress(std::function<void(uint64 read, uint64 size)> progress) {
        fExtractProgress = std::move(progress);
    }
    // Packs the file or folder at item into payload 'RAWT' id named name, compressed at
    // level (0 stores), replacing any entry of that id. False on failure, with
    // LastError() set. The entry reaches the file with the next Sync() (or when the
    // object goes away); call Sync() when the result matters.
    bool AddEntry(const char* item, const int32& id, const char* name, const int& level);

    // Replaces resource (type, id) of target by a copy of ours, name included, when we
    // hold one. Always true.
    bool CopyResource(const int32& id, const uint32& type, LibAppResource& target);
    // A copy of the text of 'CSTR' id; null when the resource is absent or empty.
    std::unique_ptr<char[]> FindString(const int32& id);

    // The reason the last ExtractEntry or AddEntry failed.
    const char* LastError() const { return fError.c_str(); }

private:
    // Where payload id lies in the file.
    status_t PayloadLocation(int32 id, off_t* offset, off_t* length);
    void Attach(const char* path, uint32 openMode);
    // Moves the items that are done from fLater to what FinishExtractions() tells.
    void CollectFinished();
    // Waits for every item still being written.
    void FinishLaterItems();
    // Lets extractor use the open folder of destination, opening it when it is new.
    void ShareFolder(ZipExtractor& extractor, const char* destination);

    BFile fFile;
    bool fAttached = false;
    std::string fError;
    std::vector<std::string> fExtracted;
    std::function<void(uint64, uint64)> fExtractProgress;
    // The folder the last item went into, kept open for the next ones.
    int fFolderFd = -1;
    std::string fFolderPath;
    // Items being written on other threads, in the order they were extracted; each
    // keeps its reader and extractor until it is done.
    struct LaterItem;
    std::deque<std::unique_ptr<LaterItem>> fLater;
    std::unordered_set<std::string> fLaterDestinations;
    std::vector<LateFailure> fLateFailures;
    // Declared last, so that it is waited for before anything its tasks use goes.
    std::unique_ptr<InflatePool::Batch> fLaterQueue;
    // The process's file creation mask, read at the first extraction (-1 until then): a
    // run of many items does not read it again for each.
    int fUmask = -1;
};

// The application's version, signature and supported types, kept on its executable.
void LibSetAppVersion(const uint32& major, const uint32& middle, const uint32& minor,
                      const char* shortInfo, const char* longInfo, const uint32& variety,
                      const uint32& internal);
// "1.3.1 Beta 4"-style version of the file at path (the running program when null);
// empty when the file has no version record.
LibString LibGetAppVersion(const char* path);
int32 LibGetAppSupportedTypes(LibStringList& types);
void LibSetAppSupportedTypes(LibStringList& types);
// Empties signature (B_MIME_TYPE_LENGTH bytes), then fills it with the application
// signature of file when file is an executable.
void LibGetAppSignature(const entry_ref& file, char* signature);

// Typed look-ups: true and out set only when the resource exists with exactly the size
// of its type.
bool LibFindRGBResource(BResources& resources, const int32& id, rgb_color& out);
bool LibFindRectResource(BResources& resources, const int32& id, BRect& out);
bool LibFindShortResource(BResources& resources, const int32& id, int8& out);
bool LibFindLongResource(BResources& resources, const int32& id, int32& out);
bool LibFindBoolResource(BResources& resources, const int32& id, bool& out);
// Empties out, then copies the text of 'CSTR' id into it (out must hold it); true
// whenever the resource exists.
bool LibFindStringResource(BResources& resources, const int32& id, char* out);

#include "files/LibAppResource.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "archive/FileRegionSource.h"
#include "archive/ZipExtractor.h"
#include "archive/ZipPacker.h"
#include "files/LibFileOps.h"
#include "lib/PosixFs.h"
#include "platform/app/Message.h"
#include "platform/storage/AppFileInfo.h"
#include "platform/storage/FindDirectory.h"
#include "platform/storage/Mime.h"
#include "platform/storage/Path.h"

namespace {

// Passes reads through and tells how far into the entry they have got; the extractor may
// read from several threads.
class ProgressSource : public ZipSource {
public:
    ProgressSource(ZipSource& inner, const std::function<void(uint64, uint64)>& progress)
        : fInner(inner), fProgress(progress) {}
    off_t Size() const override { return fInner.Size(); }
    ssize_t ReadAt(off_t offset, void* buffer, size_t size) override {
        ssize_t got = fInner.ReadAt(offset, buffer, size);
        if (got > 0 && fProgress)
            fProgress(fRead += uint64(got), uint64(fInner.Size()));
        return got;
    }

private:
    ZipSource& fInner;
    const std::function<void(uint64, uint64)>& fProgress;
    std::atomic<uint64> fRead{0};
};

std::string OwnExecutable() {
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0)
        return "";
    path[n] = '\0';
    return path;
}

template <typename T> bool FindFixed(BResources& resources, type_code type, int32 id, T& out) {
    size_t size = 0;
    void* data = resources.FindResource(type, id, &size);
    if (data == nullptr)
        return false;
    bool ok = size == sizeof(T);
    if (ok)
        memcpy(&out, data, sizeof(T));
    free(data);
    return ok;
}

} // namespace

LibAppResource::LibAppResource(const uint32& openMode) {
    Attach(OwnExecutable().c_str(), openMode);
}

LibAppResource::LibAppResource(const char* path, const uint32& openMode) {
    Attach(path, openMode);
}

// Items finished later: at most this many wait for a thread (the next is written at
// once), each at most this large in the installer.
constexpr size_t kLaterQueueLimit = 64;
constexpr off_t kLaterItemLimit = 256 * 1024;

// An item written on another thread: its reader and extractor, and how it went.
struct LibAppResource::LaterItem {
    LaterItem(int32 itemId, int fd, off_t offset, off_t length, std::string to)
        : id(itemId), destination(std::move(to)), region(fd, offset, length), extractor(region) {}
    int32 id;
    std::string destination;
    FileRegionSource region;
    ZipExtractor extractor;
    std::string error;
    std::atomic<bool> done{false};
};

LibAppResource::~LibAppResource() {
    FinishExtractions();
    if (fFolderFd >= 0)
        close(fFolderFd);
    Unset();
    fFile.Unset();
}

void LibAppResource::Attach(const char* path, uint32 openMode) {
    struct stat st;
    if (path == nullptr || path[0] == '\0' || stat(path, &st) != 0)
        return;
    if (fFile.SetTo(path, openMode) != B_OK)
        return;
    fAttached = SetTo(&fFile, false) == B_OK;
}

status_t LibAppResource::PayloadLocation(int32 id, off_t* offset, off_t* length) {
    status_t status = GetResourceLocation(B_RAW_TYPE, id, offset, length);
    // Written but not yet synced: its bytes get a place in the file first.
    if (status == B_BUSY && Sync() == B_OK)
        status = GetResourceLocation(B_RAW_TYPE, id, offset, length);
    return status;
}

void LibAppResource::CollectFinished() {
    while (!fLater.empty() && fLater.front()->done.load(std::memory_order_acquire)) {
        LaterItem& item = *fLater.front();
        if (!item.error.empty())
            fLateFailures.push_back({item.id, Failure::Because("cannot unpack payload " +
                                                                   std::to_string(item.id) + " to",
                                                               item.destination, item.error)});
        fLaterDestinations.erase(item.destination);
        fLater.pop_front();
    }
}

void LibAppResource::ShareFolder(ZipExtractor& extractor, const char* destination) {
    std::string parent, leaf;
    if (destination == nullptr || !posixfs::SplitParentLeaf(destination, parent, leaf))
        return;
    if (parent != fFolderPath || fFolderFd < 0) {
        if (fFolderFd >= 0)
            close(fFolderFd);
        fFolderFd = open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        fFolderPath = parent;
    }
    if (fFolderFd >= 0)
        extractor.SetDestinationFolder(fFolderFd, fFolderPath);
}

void LibAppResource::FinishLaterItems() {
    if (fLaterQueue != nullptr)
        fLaterQueue->Wait();
    CollectFinished();
}

std::vector<LibAppResource::LateFailure> LibAppResource::FinishExtractions() {
    FinishLaterItems();
    return std::exchange(fLateFailures, {});
}

bool LibAppResource::ExtractEntry(const int32& id, const char* destination, bool unzip) {
    ExtractOptions options;
    options.unzip = unzip;
    return ExtractEntry(id, destination, std::move(options)).Ok();
}

Result<LibAppResource::Extracted>
LibAppResource::ExtractEntry(const int32& id, const char* destination, ExtractOptions options) {
    fError.clear();
    fExtracted.clear();
    const bool unzip = options.unzip;
    const bool inPlace = options.inPlace;
    bool later = options.mayFinishLater && unzip && inPlace && destination != nullptr;
    if (!fAttached || !HasResource(B_RAW_TYPE, id))
        return Extracted::NoSuchPayload;
    const std::string shown = destination != nullptr ? destination : "";
    off_t offset = 0, length = 0;
    status_t status = PayloadLocation(id, &offset, &length);
    const char* name = nullptr;
    size_t size = 0;
    GetResourceInfo(B_RAW_TYPE, id, &name, &size);
    std::string expected = name != nullptr ? name : "";
    // Read through the container's own descriptor: positioned reads share it safely, and a
    // run of thousands of items opens the file once.
    int fd = status == B_OK ? FileDescriptor() : -1;
    if (fd < 0) {
        fError = "the installer's own file cannot be read";
        fprintf(stderr, "Error initializine file in ExtractEntry\n");
        return Failure::Because("cannot unpack payload " + std::to_string(id) + " to", shown,
                                fError);
    }
    // Whatever is written now comes after the items still being written, and an item
    // never races an earlier one of the same name.
    later = later && length <= kLaterItemLimit;
    CollectFinished();
    if (!later || fLaterDestinations.count(destination) != 0)
        FinishLaterItems();

    FileRegionSource region(fd, offset, length);
    ProgressSource source(region, fExtractProgress);
    bool ok;
    if (unzip) {
        // A small item may be finished by another thread; it reads its own region, and
        // its progress is not told (the caller counts the item once it goes on).
        std::unique_ptr<LaterItem> item;
        std::optional<ZipExtractor> here;
        if (later)
            item = std::make_unique<LaterItem>(id, fd, offset, length, destination);
        ZipExtractor& extractor = later ? item->extractor : here.emplace(source);
        extractor.SetAttributes(std::move(options.attributes));
        if (fUmask < 0)
            fUmask = static_cast<int>(ZipExtractor::ProcessUmask());
        extractor.SetUmask(static_cast<unsigned>(fUmask));
        extractor.SetWriteInPlace(inPlace);
        extractor.SetItemTimes(options.accessed, options.modified);
        // A run that writes in place owns its folder for the run: it stays where it is.
        if (inPlace)
            ShareFolder(extractor, destination);
        if (later) {
            if (fLaterQueue == nullptr)
                fLaterQueue =
                    std::make_unique<InflatePool::Batch>(InflatePool::Shared(), kLaterQueueLimit);
            LaterItem* pending = item.get();
            extractor.SetFileItemQueue(
                fLaterQueue.get(), [pending](bool ok, const std::string& error) {
                    if (!ok)
                        pending->error = error.empty() ? "it could not be written" : error;
                    pending->done.store(true, std::memory_order_release);
                });
        }
        // The resource's name is the name the item must bear; an entry without one
        // matches nothing.
        ok = extractor.ExtractItem(destination, expected.c_str());
        fError = extractor.Error();
        if (ok)
            fExtracted = extractor.Created();
        if (ok && fExtracted.empty()) {
            fError = "the entry holds no item";
            ok = false;
        }
        if (later && extractor.Queued()) {
            fLaterDestinations.insert(destination);
            fLater.push_back(std::move(item));
        }
    } else {
        ok = VerifyResource(B_RAW_TYPE, id) == B_OK ||
             (fError = "the entry's bytes are damaged", false);
        ok = ok && ZipExtractor::CopyRaw(source, destination, fError);
    }
    if (!ok) {
        fprintf(stderr, "ExtractEntry %d: %s\n", static_cast<int>(id), fError.c_str());
        return Failure::Because("cannot unpack payload " + std::to_string(id) + " to", shown,
                                fError);
    }
    if (!unzip)
        fExtracted.push_back("");
    return Extracted::Placed;
}

bool LibAppResource::ListEntry(const int32& id, std::vector<ZipContents::Entry>& entries) {
    fError.clear();
    entries.clear();
    if (!fAttached || !HasResource(B_RAW_TYPE, id))
        return true;
    off_t offset = 0, length = 0;
    status_t status = PayloadLocation(id, &offset, &length);
    // The container's own descriptor, as for extracting: a check of thousands of items
    // opens the file once.
    int fd = status == B_OK ? FileDescriptor() : -1;
    if (fd < 0) {
        fError = "the installer's own file cannot be read";
        return false;
    }
    FileRegionSource region(fd, offset, length);
    return ZipContents::List(region, entries, fError);
}

bool LibAppResource::AddEntry(const char* item, const int32& id, const char* name,
                              const int& level) {
    fError.clear();
    if (!fAttached) {
        fError = "no resource file is open";
        return false;
    }
    std::string stored;
    if (name != nullptr && name[0] != '\0') {
        stored = name;
    } else if (item != nullptr) {
        char leaf[B_FILE_NAME_LENGTH];
        LibGetChildName(item, leaf);
        stored = leaf;
    }
    int fd = LibAnonymousTempFile("zip_resource_file");
    if (fd < 0) {
        fError = std::string("cannot create a temporary file: ") + strerror(errno);
        fprintf(stderr, "%s failed\n", "zip_resource_file.zip");
        return false;
    }
    ZipPacker packer;
    bool ok = packer.Pack(item, stored.c_str(), fd, level);
    if (!ok)
        fError = packer.Error();
    off_t size = ok ? lseek(fd, 0, SEEK_END) : 0;
    if (ok) {
        RemoveResource(B_RAW_TYPE, id);
        // The container keeps its own descriptor of the archive and streams it in at the
        // next write, so that packing many items rewrites the file once, not once per item.
        status_t status = AddResourceFromDescriptor(B_RAW_TYPE, id, fd, 0, size, stored.c_str());
        if (status != B_OK) {
            fError = "cannot store the entry (status " + std::to_string(status) + ")";
            ok = false;
        }
    }
    close(fd);
    if (!ok)
        fprintf(stderr, "AddEntry %d: %s\n", static_cast<int>(id), fError.c_str());
    return ok;
}

bool LibAppResource::CopyResource(const int32& id, const uint32& type, LibAppResource& target) {
    if (!fAttached || !target.fAttached || !HasResource(type, id))
        return true;
    const char* name = nullptr;
    size_t size = 0;
    GetResourceInfo(type, id, &name, &size);
    std::string copyName = name != nullptr ? name : "";
    off_t offset = 0, length = 0;
    int fd = -1;
    if (GetResourceLocation(type, id, &offset, &length) == B_OK && FilePath() != nullptr)
        fd = open(FilePath(), O_RDONLY | O_CLOEXEC);
    target.RemoveResource(type, id);
    if (fd >= 0) {
        // Streamed from our file; the target keeps its own duplicate of the descriptor.
        target.AddResourceFromDescriptor(type, id, fd, offset, length, copyName.c_str());
        close(fd);
    } else {
        void* data = FindResource(type, id, &size);
        if (data != nullptr) {
            target.AddResource(type, id, data, size, copyName.c_str());
            free(data);
        }
    }
    return true;
}

std::unique_ptr<char[]> LibAppResource::FindString(const int32& id) {
    if (!fAttached)
        return nullptr;
    size_t size = 0;
    void* data = FindResource(B_STRING_TYPE, id, &size);
    if (data == nullptr)
        return nullptr;
    std::unique_ptr<char[]> text;
    if (size > 0) {
        text = std::make_unique<char[]>(size + 1);
        memcpy(text.get(), data, size);
        text[size] = '\0';
    }
    free(data);
    return text;
}

// ---- Version, signature and supported types ----

void LibSetAppVersion(const uint32& major, const uint32& middle, const uint32& minor,
                      const char* shortInfo, const char* longInfo, const uint32& variety,
                      const uint32& internal) {
    BFile file(OwnExecutable().c_str(), B_READ_WRITE);
    BAppFileInfo info(&file);
    if (info.InitCheck() != B_OK)
        return;
    version_info version;
    memset(&version, 0, sizeof(version));
    version.major = major;
    version.middle = middle;
    version.minor = minor;
    version.variety = variety;
    version.internal = internal;
    snprintf(version.short_info, sizeof(version.short_info), "%s", shortInfo ? shortInfo : "");
    snprintf(version.long_info, sizeof(version.long_info), "%s", longInfo ? longInfo : "");
    info.SetVersionInfo(&version, B_APP_VERSION_KIND);
}

LibString LibGetAppVersion(const char* path) {
    std::string file = path != nullptr ? path : OwnExecutable();
    BFile node(file.c_str(), B_READ_ONLY);
    BAppFileInfo info(&node);
    version_info version;
    if (info.InitCheck() != B_OK || info.GetVersionInfo(&version, B_APP_VERSION_KIND) != B_OK)
        return LibString("");
    static const char* const kVarieties[] = {" Dev", " Alpha", " Beta", " Gamma", " Gold"};
    std::string text = std::to_string(static_cast<int>(version.major)) + "." +
                       std::to_string(static_cast<int>(version.middle)) + "." +
                       std::to_string(static_cast<int>(version.minor));
    if (version.variety < 5)
        text += kVarieties[version.variety];
    if (version.internal != 0)
        text += " " + std::to_string(static_cast<int>(version.internal));
    return LibString(text.c_str());
}

int32 LibGetAppSupportedTypes(LibStringList& types) {
    BFile file(OwnExecutable().c_str(), B_READ_ONLY);
    BAppFileInfo info(&file);
    BMessage message;
    if (info.InitCheck() != B_OK || info.GetSupportedTypes(&message) != B_OK)
        return 0;
    types.Append(message, "types");
    return types.Size();
}

void LibSetAppSupportedTypes(LibStringList& types) {
    BFile file(OwnExecutable().c_str(), B_READ_WRITE);
    BAppFileInfo info(&file);
    if (info.InitCheck() != B_OK)
        return;
    BMessage message;
    types.GetFrom(message, "types");
    info.SetSupportedTypes(&message);
}

void LibGetAppSignature(const entry_ref& file, char* signature) {
    if (signature == nullptr)
        return;
    signature[0] = '\0';
    char type[B_MIME_TYPE_LENGTH] = "";
    LibGetMimeType(file, type, false);
    if (strcmp(type, B_APP_MIME_TYPE) != 0)
        return;
    BFile node(&file, B_READ_ONLY);
    BAppFileInfo info(&node);
    if (info.InitCheck() == B_OK && info.GetSignature(signature) != B_OK)
        signature[0] = '\0';
}

// ---- Typed look-ups ----

bool LibFindRGBResource(BResources& resources, const int32& id, rgb_color& out) {
    uint8 bytes[4];
    if (!FindFixed(resources, B_RGB_COLOR_TYPE, id, bytes))
        return false;
    out.red = bytes[0];
    out.green = bytes[1];
    out.blue = bytes[2];
    out.alpha = bytes[3];
    return true;
}

bool LibFindRectResource(BResources& resources, const int32& id, BRect& out) {
    float edges[4];
    if (!FindFixed(resources, B_RECT_TYPE, id, edges))
        return false;
    out = BRect(edges[0], edges[1], edges[2], edges[3]);
    return true;
}

bool LibFindShortResource(BResources& resources, const int32& id, int8& out) {
    return FindFixed(resources, B_INT8_TYPE, id, out);
}

bool LibFindLongResource(BResources& resources, const int32& id, int32& out) {
    return FindFixed(resources, B_INT32_TYPE, id, out);
}

bool LibFindBoolResource(BResources& resources, const int32& id, bool& out) {
    uint8 byte;
    if (!FindFixed(resources, B_BOOL_TYPE, id, byte))
        return false;
    out = byte != 0;
    return true;
}

bool LibFindStringResource(BResources& resources, const int32& id, char* out) {
    if (out != nullptr)
        out[0] = '\0';
    size_t size = 0;
    void* data = resources.FindResource(B_STRING_TYPE, id, &size);
    if (data == nullptr)
        return false;
    if (out != nullptr && size > 0) {
        memcpy(out, data, size);
        out[size] = '\0';
    }
    free(data);
    return true;
}

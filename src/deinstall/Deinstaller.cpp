#include "deinstall/Deinstaller.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <set>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

#include "deinstall/FolderCursor.h"
#include "deinstall/ScriptBlockRemover.h"
#include "engine/DesktopEntries.h"
#include "engine/InstalledRecord.h"
#include "files/LibFileOps.h"
#include "lib/LibString.h"
#include "lib/WorkPool.h"

namespace {

const char* kTagAttribute = "InstallBy";
const char* kLogName = "Log";
const char* kSavedFilesName = "Saved Files";

std::string Parent(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string Leaf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool Exists(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

std::string LinkTargetAt(int folder, const char* leaf) {
    char buffer[PATH_MAX + 1];
    ssize_t size = readlinkat(folder, leaf, buffer, PATH_MAX);
    return size < 0 ? std::string() : std::string(buffer, size_t(size));
}

// The names in the open folder `fd`, which is closed.
std::vector<std::string> NamesIn(int fd) {
    std::vector<std::string> names;
    DIR* dir = fdopendir(fd);
    if (dir == nullptr) {
        close(fd);
        return names;
    }
    while (dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.push_back(entry->d_name);
    }
    closedir(dir);
    return names;
}

// A path naming `leaf` in the open folder `folder`, for the calls that take paths: the
// kernel resolves it through the descriptor, whatever the folder's path leads to now.
std::string ThroughDescriptor(int folder, const char* leaf) {
    return "/proc/self/fd/" + std::to_string(folder) + "/" + leaf;
}

// Moves an entry from one open folder to another without replacing anything there; across
// volumes the entry is copied as it is and the source removed after a complete copy.
bool MoveAt(int fromFolder, const char* fromLeaf, int toFolder, const char* toLeaf) {
    if (renameat2(fromFolder, fromLeaf, toFolder, toLeaf, RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EINVAL || errno == ENOSYS) {
        // A file system that cannot refuse to replace: the place was seen free just now.
        struct stat info;
        if (fstatat(toFolder, toLeaf, &info, AT_SYMLINK_NOFOLLOW) == 0) {
            errno = EEXIST;
            return false;
        }
        if (renameat(fromFolder, fromLeaf, toFolder, toLeaf) == 0)
            return true;
    }
    if (errno != EXDEV)
        return false;
    std::string source = ThroughDescriptor(fromFolder, fromLeaf);
    std::string target = ThroughDescriptor(toFolder, toLeaf);
    return LibMoveAsIs(source.c_str(), target.c_str());
}

std::string Reason(int error) {
    return std::strerror(error);
}

// The error of a start-up file that could not be rewritten without its block.
const int kNotRewritten = -1;
// From this many files and links, a second thread takes half of them.
const size_t kSharedRemovalsFrom = 256;

} // namespace

std::string DescribePlanItem(const PlanItem& item) {
    if (item.kind == PlanKind::Block)
        return "#BEGIN_" + item.tag + " ... #END_" + item.tag + " in " + item.path;
    if (item.kind == PlanKind::Folder)
        return item.path + "/";
    return item.path;
}

Deinstaller::Deinstaller(DeinstallRecord record, std::string self)
    : fRecord(std::move(record)), fIdentity(fRecord.Identity()), fSelf(std::move(self)),
      fInstallFolder(Parent(fSelf)) {
    MakePlan();
}

const std::vector<PlanItem>& Deinstaller::Plan() const {
    Refresh();
    return fPlan;
}

void Deinstaller::Refresh() const {
    if (fStale)
        MakePlan();
}

int32_t Deinstaller::CountToRemove() const {
    Refresh();
    return int32_t(std::count_if(fPlan.begin(), fPlan.end(), [](const PlanItem& item) {
        return item.state == PlanState::Remove;
    }));
}

bool Deinstaller::InsideInstallFolder(const std::string& path) const {
    return path.size() > fInstallFolder.size() + 1 &&
           path.compare(0, fInstallFolder.size() + 1, fInstallFolder + "/") == 0;
}

// Remove when the entry carries this product's tag; why it stays otherwise. The tag is a
// text attribute, kept as the plain value of "user.InstallBy" in every form the node
// layer writes, so one read of that value answers.
PlanState Deinstaller::TagState(const std::string& path) const {
    FolderCursor cursor(&fRecord.folders);
    return TagState(path, cursor);
}

bool Deinstaller::ReadTag(const std::string& path, FolderCursor& cursor, std::string& tag) const {
    static const std::string name = std::string("user.") + kTagAttribute;
    // Room for this product's identity and more: a longer value is read again whole.
    char buffer[256];
    std::vector<char> longer;
    char* value = buffer;
    ssize_t size = cursor.ReadAttribute(path, name.c_str(), buffer, sizeof buffer);
    if (size < 0 && errno == ERANGE) {
        ssize_t needed = cursor.ReadAttribute(path, name.c_str(), nullptr, 0);
        if (needed >= 0) {
            longer.resize(size_t(needed) + 1);
            value = longer.data();
            size = cursor.ReadAttribute(path, name.c_str(), value, longer.size());
        }
    }
    if (size < 0)
        return false;
    // The text ends at its first NUL, as a string attribute is read.
    std::string_view text(value, size_t(size));
    tag.assign(text.substr(0, text.find('\0')));
    return true;
}

PlanState Deinstaller::TagState(const std::string& path, FolderCursor& cursor) const {
    std::string tag;
    if (ReadTag(path, cursor, tag))
        return tag == fIdentity ? PlanState::Remove : PlanState::Retagged;
    // On a file system without attributes no product could tag anything, and the list is
    // all there is to go by.
    return errno == ENOTSUP ? PlanState::Remove : PlanState::Untagged;
}

PlanItem Deinstaller::InspectEntry(const std::string& path) const {
    FolderCursor cursor(&fRecord.folders);
    return InspectEntry(path, cursor);
}

PlanItem Deinstaller::InspectEntry(const std::string& path, FolderCursor& cursor) const {
    PlanItem item;
    item.path = path;
    mode_t kind = 0;
    if (!cursor.KindOf(path, kind)) {
        // In a folder that was replaced since the installation, nothing is touched.
        item.state = errno == EXDEV ? PlanState::Untagged : PlanState::Gone;
        return item;
    }
    auto link = fLinkTargets.find(path);
    if (S_ISLNK(kind)) {
        item.kind = PlanKind::Link;
        // Links keep no attributes here: a placed link is known by where it points, a link
        // inside an installed folder by its folder.
        const char* leaf = nullptr;
        int folder = cursor.FolderOf(path, leaf);
        if (link != fLinkTargets.end())
            item.state = folder >= 0 && LinkTargetAt(folder, leaf) == link->second
                             ? PlanState::Remove
                             : PlanState::LinkMoved;
        else
            item.state = TagState(Parent(path)) == PlanState::Remove ? PlanState::Remove
                                                                     : PlanState::Retagged;
        return item;
    }
    item.kind = S_ISDIR(kind) ? PlanKind::Folder : PlanKind::File;
    // Something else took a placed link's place.
    item.state = link != fLinkTargets.end() ? PlanState::LinkMoved : TagState(path, cursor);
    return item;
}

void Deinstaller::MakePlan() const {
    fStale = false;
    fPlan.clear();
    fLinkTargets.clear();
    fReplaced.clear();
    for (const std::string& folder : fRecord.folders.ReplacedNow())
        NoteReplaced(folder);
    // The first record of a link counts, as a search from the front would find it.
    for (const auto& link : fRecord.links)
        fLinkTargets.emplace(link.first, link.second);
    FolderCursor cursor(&fRecord.folders);
    fPlan.reserve(fRecord.paths.size());
    // The list names a folder before its contents: backwards, contents go first.
    for (auto path = fRecord.paths.rbegin(); path != fRecord.paths.rend(); ++path) {
        // The deinstaller and its folder are handled last, on their own terms.
        if (*path == fSelf || *path == fInstallFolder)
            continue;
        fPlan.push_back(InspectEntry(*path, cursor));
    }
    // What an earlier installation of this same product left in "Saved Files" when this
    // one replaced it is the product's too: it goes, and is not offered back.
    for (const auto& saved : fRecord.saved) {
        if (IsOwnSaved(saved.first, saved.second, cursor))
            PlanTree(saved.first, cursor);
    }
    for (const ScriptBlockRef& block : fRecord.blocks) {
        PlanItem item;
        item.kind = PlanKind::Block;
        item.path = block.file;
        item.tag = block.tag;
        item.state = ScriptBlockRemover::HasBlock(block.file, block.tag) ? PlanState::Remove
                                                                         : PlanState::Gone;
        fPlan.push_back(item);
    }
}

std::vector<std::string> Deinstaller::ReplacedFolders() const {
    Refresh();
    return fReplaced;
}

void Deinstaller::NoteReplaced(const std::string& folder) const {
    if (std::find(fReplaced.begin(), fReplaced.end(), folder) == fReplaced.end())
        fReplaced.push_back(folder);
}

int Deinstaller::OpenFolder(const std::string& path, int flags, bool make) const {
    std::string replaced;
    int fd = fRecord.folders.Open(path, flags, make, replaced);
    if (fd < 0 && errno == EXDEV) {
        NoteReplaced(replaced);
        errno = EXDEV;
    }
    return fd;
}

std::vector<std::string> Deinstaller::Children(const std::string& folder) const {
    int fd = OpenFolder(folder, O_RDONLY, false);
    return fd < 0 ? std::vector<std::string>() : NamesIn(fd);
}

bool Deinstaller::IsOwnTree(const std::string& path, FolderCursor& cursor) const {
    mode_t kind = 0;
    if (!cursor.KindOf(path, kind))
        return false;
    std::string tag;
    if (S_ISLNK(kind) || (ReadTag(path, cursor, tag) && tag == fIdentity))
        return true;
    if (!S_ISDIR(kind))
        return false;
    std::vector<std::string> children = Children(path);
    return !children.empty() &&
           std::all_of(children.begin(), children.end(), [&](const std::string& child) {
               return IsOwnTree(path + "/" + child, cursor);
           });
}

bool Deinstaller::IsOwnSaved(const std::string& saved, const std::string& origin,
                             FolderCursor& cursor) const {
    mode_t kind = 0;
    if (!cursor.KindOf(saved, kind))
        return false;
    if (S_ISLNK(kind)) {
        const char* leaf = nullptr;
        int folder = cursor.FolderOf(saved, leaf);
        std::string target = folder < 0 ? std::string() : LinkTargetAt(folder, leaf);
        // The link an earlier installation placed where this one placed its own.
        return std::any_of(fRecord.links.begin(), fRecord.links.end(), [&](const auto& link) {
            return link.first == origin && link.second == target;
        });
    }
    return IsOwnTree(saved, cursor);
}

void Deinstaller::PlanTree(const std::string& path, FolderCursor& cursor) const {
    mode_t kind = 0;
    if (!cursor.KindOf(path, kind))
        return;
    PlanItem item;
    item.path = path;
    if (S_ISLNK(kind)) {
        item.kind = PlanKind::Link;
    } else if (S_ISDIR(kind)) {
        for (const std::string& child : Children(path))
            PlanTree(path + "/" + child, cursor);
        // Removed only when empty afterwards.
        item.kind = PlanKind::Folder;
    } else {
        item = InspectEntry(path, cursor);
    }
    fPlan.push_back(item);
}

std::vector<std::pair<std::string, std::string>> Deinstaller::Restorable() const {
    std::vector<std::pair<std::string, std::string>> result;
    FolderCursor cursor(&fRecord.folders);
    for (const auto& saved : fRecord.saved) {
        mode_t kind = 0;
        if (cursor.KindOf(saved.first, kind) && !IsOwnSaved(saved.first, saved.second, cursor))
            result.push_back(saved);
    }
    return result;
}

int Deinstaller::RemoveEntry(const PlanItem& item, FolderCursor& cursor) {
    switch (item.kind) {
    case PlanKind::Block:
        return ScriptBlockRemover::Remove(item.path, item.tag,
                                          fBackedUp.insert(item.path).second) &&
                       !ScriptBlockRemover::HasBlock(item.path, item.tag)
                   ? 0
                   : kNotRewritten;
    case PlanKind::Folder:
        return cursor.Remove(item.path, AT_REMOVEDIR) || errno == ENOENT ? 0 : errno;
    case PlanKind::File:
    case PlanKind::Link:
        break;
    }
    return cursor.Remove(item.path, 0) || errno == ENOENT ? 0 : errno;
}

void Deinstaller::NoteRemoval(const PlanItem& item, int error, DeinstallOutcome& outcome) {
    std::string name = DescribePlanItem(item);
    if (error == 0)
        outcome.removed.push_back(std::move(name));
    else if (error == kNotRewritten)
        outcome.failed.push_back(name + ": the file could not be rewritten");
    else if (item.kind == PlanKind::Folder && (error == ENOTEMPTY || error == EEXIST))
        outcome.kept.push_back(item.path);
    else if (error == EXDEV)
        outcome.failed.push_back(name + ": its folder was replaced after the installation; it "
                                        "is left alone");
    else
        outcome.failed.push_back(name + ": " + Reason(error));
}

void Deinstaller::RemoveItem(const PlanItem& item, DeinstallOutcome& outcome,
                             FolderCursor& cursor) {
    NoteRemoval(item, RemoveEntry(item, cursor), outcome);
}

void Deinstaller::RemoveHooks(DeinstallOutcome& outcome) {
    FolderCursor cursor(&fRecord.folders);
    // A hook serves every product that adds blocks to its script; it goes with the last
    // block.
    for (const StartupHookRef& hook : fRecord.hooks) {
        mode_t kind = 0;
        if (!cursor.KindOf(hook.file, kind) || ScriptBlockRemover::HasAnyBlock(hook.script))
            continue;
        if (hook.tag.empty()) {
            if (S_ISREG(kind)) {
                if (cursor.Remove(hook.file, 0))
                    outcome.removed.push_back(hook.file);
                else
                    outcome.failed.push_back(hook.file + ": " + Reason(errno));
            }
        } else if (ScriptBlockRemover::HasBlock(hook.file, hook.tag)) {
            PlanItem block{PlanKind::Block, PlanState::Remove, hook.file, hook.tag};
            RemoveItem(block, outcome, cursor);
        }
    }
}

void Deinstaller::RestoreSaved(DeinstallOutcome& outcome) {
    FolderCursor cursor(&fRecord.folders);
    for (const auto& [saved, origin] : fRecord.saved) {
        mode_t kind = 0;
        if (!cursor.KindOf(saved, kind)) {
            if (errno == EXDEV)
                outcome.restoreFailed.push_back(origin + ": the folder of its saved copy " + saved +
                                                " was replaced; it is left alone");
            continue;
        }
        if (IsOwnSaved(saved, origin, cursor))
            continue;
        // Both ends are reached through the folders as the installation left them: a saved
        // copy is never taken from, nor put into, a folder someone swapped in since.
        const char* savedLeaf = nullptr;
        int from = cursor.FolderOf(saved, savedLeaf);
        int place = OpenFolder(Parent(origin), O_PATH, false);
        const char* originLeaf = origin.c_str() + origin.size() - Leaf(origin).size();
        // A folder the installation made in the place of the one it saved is empty now.
        bool madeThere = std::find(fRecord.createdFolders.begin(), fRecord.createdFolders.end(),
                                   origin) != fRecord.createdFolders.end();
        struct stat info;
        if (place >= 0 && madeThere &&
            fstatat(place, originLeaf, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode) &&
            !fRecord.folders.Replaced(origin, info) &&
            unlinkat(place, originLeaf, AT_REMOVEDIR) == 0)
            // What comes back in its place is the user's folder, not the one made.
            fRecord.folders.Forget(origin);
        if (place < 0 && errno == ENOENT)
            place = OpenFolder(Parent(origin), O_PATH, true);
        if (place < 0) {
            outcome.restoreFailed.push_back(
                origin + (errno == EXDEV ? ": the folder it belongs in was replaced after the "
                                           "installation; the saved copy stays in " +
                                               saved
                                         : ": it could not be put back from " + saved));
            continue;
        }
        if (fstatat(place, originLeaf, &info, AT_SYMLINK_NOFOLLOW) == 0) {
            outcome.restoreFailed.push_back(
                origin + ": its place is taken; the saved copy stays in " + saved);
        } else if (from >= 0 && MoveAt(from, savedLeaf, place, originLeaf) &&
                   fstatat(place, originLeaf, &info, AT_SYMLINK_NOFOLLOW) == 0) {
            outcome.restored.push_back(origin);
            fRestored.insert(origin);
        } else {
            outcome.restoreFailed.push_back(origin + ": it could not be put back from " + saved);
        }
        close(place);
    }
}

void Deinstaller::RefreshDesktop(const std::set<std::string>& menuFolders,
                                 const std::set<std::string>& iconThemes) {
    std::vector<std::string> ran;
    FolderCursor cursor(&fRecord.folders);
    for (const std::string& folder : menuFolders) {
        // A menu folder the installation made holds nothing but the desktop's cache now:
        // the cache goes, so that the folder can go too.
        bool made = std::find(fRecord.createdFolders.begin(), fRecord.createdFolders.end(),
                              folder) != fRecord.createdFolders.end();
        if (made && Children(folder) == std::vector<std::string>{"mimeinfo.cache"}) {
            cursor.Remove(folder + "/mimeinfo.cache", 0);
            continue;
        }
        DesktopEntries::Refresh(folder, "", ran);
    }
    for (const std::string& theme : iconThemes)
        DesktopEntries::Refresh("", theme, ran);
}

void Deinstaller::RemoveCreated(DeinstallOutcome& outcome) {
    FolderCursor cursor(&fRecord.folders);
    for (const std::string& file : fRecord.createdFiles) {
        // Only a file left with nothing in it: whatever the user wrote there stays. Its
        // ".orig" copy then holds nothing but this product's blocks and goes with it.
        if (ScriptBlockRemover::IsBlank(file) && cursor.Remove(file, 0)) {
            outcome.removed.push_back(file);
            cursor.Remove(file + ".orig", 0);
        }
    }
    std::set<std::string> gone;
    for (const std::string& entry : fRecord.createdEntries) {
        mode_t kind = 0;
        if (gone.insert(entry).second && cursor.KindOf(entry, kind) && !S_ISDIR(kind) &&
            cursor.Remove(entry, 0))
            outcome.removed.push_back(entry);
    }
    // What lies inside the installation folder went with it; a deinstaller copied elsewhere
    // (also into a folder above the installation) leaves only the folder it lies in.
    bool inPlace = fRecord.installFolder.empty() || fRecord.installFolder == fInstallFolder;
    std::set<std::string> done;
    for (auto folder = fRecord.createdFolders.rbegin(); folder != fRecord.createdFolders.rend();
         ++folder) {
        if (*folder == fInstallFolder || (inPlace && InsideInstallFolder(*folder)) ||
            fRestored.count(*folder) != 0 || !done.insert(*folder).second)
            continue;
        const char* leaf = nullptr;
        int parent = cursor.FolderOf(*folder, leaf);
        struct stat info;
        if (parent < 0 || fstatat(parent, leaf, &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        // A folder swapped in since, or a link in its place, is not the one made.
        if (fRecord.folders.Replaced(*folder, info)) {
            NoteReplaced(*folder);
            continue;
        }
        // Only when empty: the removal is refused otherwise.
        if (S_ISDIR(info.st_mode) && cursor.Remove(*folder, AT_REMOVEDIR))
            outcome.removed.push_back(*folder + "/");
    }
}

void Deinstaller::RemoveInstallFolder(DeinstallOutcome& outcome) {
    // The folder is reached as the installation left it; one swapped in since, or a link in
    // its place, is left alone.
    int folder = OpenFolder(fInstallFolder, O_RDONLY, false);
    if (folder < 0) {
        if (errno != ENOENT && errno != EXDEV)
            outcome.kept.push_back(fInstallFolder);
        return;
    }
    struct stat identity;
    fstat(folder, &identity);
    std::string selfLeaf = Leaf(fSelf);
    std::string recordLeaf = Leaf(InstalledRecord::PathFor(fSelf));
    int savedFd = openat(folder, kSavedFilesName, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    bool savedEmpty = savedFd >= 0 && NamesIn(savedFd).empty();
    int listing = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (const std::string& name : listing < 0 ? std::vector<std::string>{""} : NamesIn(listing)) {
        bool own = name == selfLeaf || name == recordLeaf || name == kLogName ||
                   (name == kSavedFilesName && savedEmpty);
        if (!own) {
            outcome.kept.push_back(fInstallFolder);
            close(folder);
            return;
        }
    }
    unlinkat(folder, kLogName, 0);
    unlinkat(folder, kSavedFilesName, AT_REMOVEDIR);
    // The running program's file can go: the program stays in memory until it ends. Its
    // list goes after it: a deinstaller stopped in between is never left without its list.
    unlinkat(folder, selfLeaf.c_str(), 0);
    unlinkat(folder, recordLeaf.c_str(), 0);
    close(folder);
    // The folder itself goes from the folder holding it, while it is still the one emptied.
    int parent = OpenFolder(Parent(fInstallFolder), O_PATH, false);
    std::string leaf = Leaf(fInstallFolder);
    struct stat info;
    int error = 0;
    if (parent < 0)
        error = errno;
    else if (fstatat(parent, leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        error = errno;
    else if (info.st_dev != identity.st_dev || info.st_ino != identity.st_ino) {
        NoteReplaced(fInstallFolder);
        error = EXDEV;
    } else if (unlinkat(parent, leaf.c_str(), AT_REMOVEDIR) != 0)
        error = errno;
    if (parent >= 0)
        close(parent);
    if (error == 0 || error == ENOENT) {
        outcome.installFolderRemoved = true;
        outcome.removed.push_back(fInstallFolder + "/");
    } else if (error != EXDEV) {
        outcome.failed.push_back(fInstallFolder + ": " + Reason(error));
    }
}

void Deinstaller::RemovePlanned(const std::vector<const PlanItem*>& removals,
                                std::vector<int>& errors, const Progress& progress) {
    int total = int(removals.size());
    int index = 0;
    auto announce = [&](const PlanItem& item) {
        if (progress)
            progress(++index, total, Leaf(item.kind == PlanKind::Block ? item.tag : item.path));
    };
    // Files and links first, in any order among themselves: none of them holds another.
    // Each removal spends most of its time in the file system, which takes two at once
    // nearly twice as fast, so a long list is shared with a second thread. Only this thread
    // tells the progress.
    std::vector<size_t> entries;
    for (size_t i = 0; i < removals.size(); i++) {
        if (removals[i]->kind == PlanKind::File || removals[i]->kind == PlanKind::Link)
            entries.push_back(i);
    }
    size_t shared = entries.size() >= kSharedRemovalsFrom && WorkPool::Processors() > 1
                        ? entries.size() / 2
                        : 0;
    const size_t own = entries.size() - shared;
    std::thread helper;
    if (shared > 0) {
        try {
            helper = std::thread([&] {
                FolderCursor cursor(&fRecord.folders);
                for (size_t k = own; k < entries.size(); k++)
                    errors[entries[k]] = RemoveEntry(*removals[entries[k]], cursor);
            });
        } catch (const std::system_error&) {
            // No thread to be had: this one removes them all.
            shared = 0;
        }
    }
    FolderCursor cursor(&fRecord.folders);
    for (size_t k = 0; k < entries.size(); k++) {
        announce(*removals[entries[k]]);
        if (k < own || shared == 0)
            errors[entries[k]] = RemoveEntry(*removals[entries[k]], cursor);
    }
    if (helper.joinable())
        helper.join();
    // Then the folders, contents before the folder that holds them, and the start-up blocks.
    for (size_t i = 0; i < removals.size(); i++) {
        if (removals[i]->kind == PlanKind::Folder || removals[i]->kind == PlanKind::Block) {
            announce(*removals[i]);
            errors[i] = RemoveEntry(*removals[i], cursor);
        }
    }
}

DeinstallOutcome Deinstaller::Run(bool restore, const Progress& progress) {
    Refresh();
    // Folders swapped since the plan was shown count as well.
    for (const std::string& folder : fRecord.folders.ReplacedNow())
        NoteReplaced(folder);
    DeinstallOutcome outcome;
    std::vector<const PlanItem*> removals;
    for (const PlanItem& item : fPlan) {
        if (item.state == PlanState::Remove)
            removals.push_back(&item);
    }
    std::vector<int> errors(removals.size(), 0);
    RemovePlanned(removals, errors, progress);
    // The outcome lists what went and what stayed in the order of the plan.
    for (size_t i = 0; i < removals.size(); i++)
        NoteRemoval(*removals[i], errors[i], outcome);
    // Menu entries and icons that are gone, also those an earlier run removed before it was
    // stopped: the desktop's caches may still name them.
    std::set<std::string> menuFolders;
    std::set<std::string> iconThemes;
    for (const PlanItem& item : fPlan) {
        if (item.kind == PlanKind::Block ||
            (item.state != PlanState::Remove && item.state != PlanState::Gone))
            continue;
        const std::string& path = item.path;
        if (path.size() > 8 && path.compare(path.size() - 8, 8, ".desktop") == 0)
            menuFolders.insert(Parent(path));
        size_t theme = path.find("/icons/hicolor/");
        if (theme != std::string::npos)
            iconThemes.insert(path.substr(0, theme + 14));
    }
    RefreshDesktop(menuFolders, iconThemes);
    RemoveHooks(outcome);
    if (restore)
        RestoreSaved(outcome);
    // What the installation made goes while the deinstaller and its list are still there,
    // so that a run stopped now can be run again; only the folders holding the
    // installation folder wait for it.
    RemoveCreated(outcome);
    // The installation folder may lie in a folder the installation made. A deinstaller
    // that was copied elsewhere leaves the folder it lies in alone.
    bool inPlace = fRecord.installFolder.empty() || fRecord.installFolder == fInstallFolder;
    if (inPlace && !fInstallFolder.empty() && fInstallFolder != "/" && Exists(fInstallFolder)) {
        RemoveInstallFolder(outcome);
        RemoveCreated(outcome);
    }
    outcome.replaced = fReplaced;
    // The plan is stale now: whoever asks for it, or a second run, looks again.
    fStale = true;
    return outcome;
}

#include "Deinstaller.h"

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

#include "FolderCursor.h"
#include "ScriptBlockRemover.h"
#include "engine/DesktopEntries.h"
#include "engine/InstalledRecord.h"
#include "lib/LibString.h"
#include "storage/LibFileOps.h"
#include "storage/LibNode.h"
#include "storage/WorkPool.h"

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

std::string LinkTarget(const std::string& path) {
    char buffer[PATH_MAX + 1];
    ssize_t size = readlink(path.c_str(), buffer, PATH_MAX);
    return size < 0 ? std::string() : std::string(buffer, size_t(size));
}

std::vector<std::string> Children(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return names;
    while (dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.push_back(entry->d_name);
    }
    closedir(dir);
    return names;
}

// Makes every missing folder above `path`.
void MakeParents(const std::string& path) {
    std::string parent = Parent(path);
    if (parent == "/" || parent == "." || Exists(parent))
        return;
    MakeParents(parent);
    mkdir(parent.c_str(), 0777);
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

PlanState Deinstaller::TagState(const std::string& path, FolderCursor& cursor) const {
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
    if (size >= 0) {
        // The text ends at its first NUL, as a string attribute is read.
        std::string_view tag(value, size_t(size));
        tag = tag.substr(0, tag.find('\0'));
        return tag == fIdentity ? PlanState::Remove : PlanState::Retagged;
    }
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
        if (link != fLinkTargets.end())
            item.state =
                LinkTarget(path) == link->second ? PlanState::Remove : PlanState::LinkMoved;
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
        if (IsOwnSaved(saved.first, saved.second))
            PlanTree(saved.first);
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

bool Deinstaller::CarriesOwnTag(const std::string& path) const {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0 || S_ISLNK(info.st_mode))
        return false;
    LibNode node(path.c_str());
    LibString tag;
    return node.InitCheck() == B_OK && node.ReadStringAttr(kTagAttribute, tag) >= 0 &&
           fIdentity == static_cast<const char*>(tag);
}

bool Deinstaller::IsOwnTree(const std::string& path) const {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0)
        return false;
    if (S_ISLNK(info.st_mode) || CarriesOwnTag(path))
        return true;
    if (!S_ISDIR(info.st_mode))
        return false;
    std::vector<std::string> children = Children(path);
    return !children.empty() &&
           std::all_of(children.begin(), children.end(),
                       [&](const std::string& child) { return IsOwnTree(path + "/" + child); });
}

bool Deinstaller::IsOwnSaved(const std::string& saved, const std::string& origin) const {
    struct stat info;
    if (lstat(saved.c_str(), &info) != 0)
        return false;
    if (S_ISLNK(info.st_mode)) {
        // The link an earlier installation placed where this one placed its own.
        return std::any_of(fRecord.links.begin(), fRecord.links.end(), [&](const auto& link) {
            return link.first == origin && link.second == LinkTarget(saved);
        });
    }
    return IsOwnTree(saved);
}

void Deinstaller::PlanTree(const std::string& path) const {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0)
        return;
    PlanItem item;
    item.path = path;
    if (S_ISLNK(info.st_mode)) {
        item.kind = PlanKind::Link;
    } else if (S_ISDIR(info.st_mode)) {
        for (const std::string& child : Children(path))
            PlanTree(path + "/" + child);
        // Removed only when empty afterwards.
        item.kind = PlanKind::Folder;
    } else {
        item = InspectEntry(path);
    }
    fPlan.push_back(item);
}

std::vector<std::pair<std::string, std::string>> Deinstaller::Restorable() const {
    std::vector<std::pair<std::string, std::string>> result;
    for (const auto& saved : fRecord.saved) {
        if (Exists(saved.first) && !IsOwnSaved(saved.first, saved.second))
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
    // A hook serves every product that adds blocks to its script; it goes with the last
    // block.
    for (const StartupHookRef& hook : fRecord.hooks) {
        if (!Exists(hook.file) || ScriptBlockRemover::HasAnyBlock(hook.script))
            continue;
        if (hook.tag.empty()) {
            struct stat info;
            if (lstat(hook.file.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
                if (unlink(hook.file.c_str()) == 0)
                    outcome.removed.push_back(hook.file);
                else
                    outcome.failed.push_back(hook.file + ": " + Reason(errno));
            }
        } else if (ScriptBlockRemover::HasBlock(hook.file, hook.tag)) {
            PlanItem block{PlanKind::Block, PlanState::Remove, hook.file, hook.tag};
            FolderCursor cursor(&fRecord.folders);
            RemoveItem(block, outcome, cursor);
        }
    }
}

void Deinstaller::RestoreSaved(DeinstallOutcome& outcome) {
    for (const auto& [saved, origin] : fRecord.saved) {
        if (!Exists(saved) || IsOwnSaved(saved, origin))
            continue;
        // A folder the installation made in the place of the one it saved is empty now.
        bool madeThere = std::find(fRecord.createdFolders.begin(), fRecord.createdFolders.end(),
                                   origin) != fRecord.createdFolders.end();
        if (madeThere)
            rmdir(origin.c_str());
        if (Exists(origin)) {
            outcome.restoreFailed.push_back(
                origin + ": its place is taken; the saved copy stays in " + saved);
            continue;
        }
        MakeParents(origin);
        if (LibMove(saved.c_str(), origin.c_str()) && Exists(origin) && !Exists(saved))
            outcome.restored.push_back(origin);
        else
            outcome.restoreFailed.push_back(origin + ": it could not be put back from " + saved);
    }
}

void Deinstaller::RefreshDesktop(const std::set<std::string>& menuFolders,
                                 const std::set<std::string>& iconThemes) {
    std::vector<std::string> ran;
    for (const std::string& folder : menuFolders) {
        // A menu folder the installation made holds nothing but the desktop's cache now:
        // the cache goes, so that the folder can go too.
        bool made = std::find(fRecord.createdFolders.begin(), fRecord.createdFolders.end(),
                              folder) != fRecord.createdFolders.end();
        if (made && Children(folder) == std::vector<std::string>{"mimeinfo.cache"}) {
            unlink((folder + "/mimeinfo.cache").c_str());
            continue;
        }
        DesktopEntries::Refresh(folder, "", ran);
    }
    for (const std::string& theme : iconThemes)
        DesktopEntries::Refresh("", theme, ran);
}

void Deinstaller::RemoveCreated(DeinstallOutcome& outcome) {
    for (const std::string& file : fRecord.createdFiles) {
        // Only a file left with nothing in it: whatever the user wrote there stays. Its
        // ".orig" copy then holds nothing but this product's blocks and goes with it.
        if (ScriptBlockRemover::IsBlank(file) && unlink(file.c_str()) == 0) {
            outcome.removed.push_back(file);
            unlink((file + ".orig").c_str());
        }
    }
    std::set<std::string> gone;
    for (const std::string& entry : fRecord.createdEntries) {
        struct stat info;
        if (gone.insert(entry).second && lstat(entry.c_str(), &info) == 0 &&
            !S_ISDIR(info.st_mode) && unlink(entry.c_str()) == 0)
            outcome.removed.push_back(entry);
    }
    // What lies inside the installation folder went with it; a deinstaller copied elsewhere
    // (also into a folder above the installation) leaves only the folder it lies in.
    bool inPlace = fRecord.installFolder.empty() || fRecord.installFolder == fInstallFolder;
    std::set<std::string> done;
    for (auto folder = fRecord.createdFolders.rbegin(); folder != fRecord.createdFolders.rend();
         ++folder) {
        if (*folder == fInstallFolder || (inPlace && InsideInstallFolder(*folder)) ||
            !done.insert(*folder).second)
            continue;
        struct stat info;
        if (lstat(folder->c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
            continue;
        // Only when empty: rmdir refuses otherwise.
        if (rmdir(folder->c_str()) == 0)
            outcome.removed.push_back(*folder + "/");
    }
}

void Deinstaller::RemoveInstallFolder(DeinstallOutcome& outcome) {
    std::string saved = fInstallFolder + "/" + kSavedFilesName;
    std::string selfLeaf = Leaf(fSelf);
    std::string record = InstalledRecord::PathFor(fSelf);
    for (const std::string& name : Children(fInstallFolder)) {
        bool own = name == selfLeaf || name == Leaf(record) || name == kLogName ||
                   (name == kSavedFilesName && Children(saved).empty());
        if (!own) {
            outcome.kept.push_back(fInstallFolder);
            return;
        }
    }
    std::string log = fInstallFolder + "/" + kLogName;
    unlink(log.c_str());
    rmdir(saved.c_str());
    // The running program's file can go: the program stays in memory until it ends. Its
    // list goes after it: a deinstaller stopped in between is never left without its list.
    unlink(fSelf.c_str());
    unlink(record.c_str());
    if (rmdir(fInstallFolder.c_str()) == 0 || errno == ENOENT) {
        outcome.installFolderRemoved = true;
        outcome.removed.push_back(fInstallFolder + "/");
    } else {
        outcome.failed.push_back(fInstallFolder + ": " + Reason(errno));
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
    // The plan is stale now: whoever asks for it, or a second run, looks again.
    fStale = true;
    return outcome;
}

#include "engine/RunLedger.h"

#include "platform/app/Message.h"

namespace {

void AddAll(BMessage& record, const char* name, const std::vector<std::string>& values) {
    for (const std::string& value : values)
        record.AddString(name, value.c_str());
}

std::vector<std::string> All(const BMessage& record, const char* name) {
    std::vector<std::string> values;
    const char* value = nullptr;
    for (int32 i = 0; record.FindString(name, i, &value) == B_OK; i++)
        values.push_back(value != nullptr ? value : "");
    return values;
}

// The `index`th value of each name, all present; false when one is missing.
template <size_t N>
bool Row(const BMessage& record, const char* const (&names)[N], int32 index,
         std::string (&row)[N]) {
    for (size_t i = 0; i < N; i++) {
        const char* value = nullptr;
        if (record.FindString(names[i], index, &value) != B_OK || value == nullptr)
            return false;
        row[i] = value;
    }
    return true;
}

} // namespace

void RunLedger::AddTo(BMessage& record) const {
    AddAll(record, "path", tagged);
    for (const ScriptEdit& edit : scriptEdits) {
        record.AddString("script_file", edit.file.c_str());
        record.AddString("script_tag", edit.tag.c_str());
    }
    for (const PathPair& link : links) {
        record.AddString("link", link.first.c_str());
        record.AddString("link_target", link.second.c_str());
    }
    for (const PathPair& entry : saved) {
        record.AddString("saved", entry.first.c_str());
        record.AddString("saved_from", entry.second.c_str());
    }
    AddAll(record, "created_folder", createdFolders);
    AddAll(record, "created_entry", createdEntries);
    AddAll(record, "created_file", createdFiles);
    for (const PathPair& hook : hookEntries) {
        record.AddString("hook_entry", hook.first.c_str());
        record.AddString("hook_entry_for", hook.second.c_str());
    }
    for (const HookBlock& hook : hookBlocks) {
        record.AddString("hook_block", hook.file.c_str());
        record.AddString("hook_block_tag", hook.tag.c_str());
        record.AddString("hook_block_for", hook.script.c_str());
    }
}

RunLedger RunLedger::From(const BMessage& record) {
    RunLedger ledger;
    ledger.tagged = All(record, "path");
    ledger.createdFolders = All(record, "created_folder");
    ledger.createdEntries = All(record, "created_entry");
    ledger.createdFiles = All(record, "created_file");
    std::string pair[2];
    for (int32 i = 0; Row(record, {"script_file", "script_tag"}, i, pair); i++)
        ledger.scriptEdits.push_back({pair[0], pair[1]});
    for (int32 i = 0; Row(record, {"link", "link_target"}, i, pair); i++)
        ledger.links.push_back({pair[0], pair[1]});
    for (int32 i = 0; Row(record, {"saved", "saved_from"}, i, pair); i++)
        ledger.saved.push_back({pair[0], pair[1]});
    for (int32 i = 0; Row(record, {"hook_entry", "hook_entry_for"}, i, pair); i++)
        ledger.hookEntries.push_back({pair[0], pair[1]});
    std::string triple[3];
    for (int32 i = 0; Row(record, {"hook_block", "hook_block_tag", "hook_block_for"}, i, triple);
         i++)
        ledger.hookBlocks.push_back({triple[0], triple[1], triple[2]});
    return ledger;
}

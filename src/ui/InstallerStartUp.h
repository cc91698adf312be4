#pragma once

// What the installer records about itself. As it starts it stamps its version record on
// its own executable; when a run begins it registers itself as the preferred application
// of its document type, in the user's type records. Neither may keep the installer from
// running: a read-only executable or type database only loses the record.

#include <string>
#include <vector>

namespace installer_start_up {

constexpr const char* kSignature = "application/x-vnd.Kestrelwood.Tarnw";
constexpr const char* kDocumentType = "text/x-tarnw";

void RecordVersion();

// What RecordType would make: the missing folders above the type's record, outer ones
// first, then the record; empty when the record is there already.
std::vector<std::string> PlannedTypeRecord();
void RecordType();

} // namespace installer_start_up

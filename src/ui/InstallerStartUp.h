#pragma once

// The two steps every front-end takes when the installer starts: the installer stamps its
// version record on its own executable and registers itself as the preferred application
// of its document type. Neither may keep the installer from running: a read-only
// executable or type database only loses the record.

#include <string>
#include <vector>

namespace installer_start_up {

constexpr const char* kSignature = "application/x-vnd.Kestrelwood.Tarnw";
constexpr const char* kDocumentType = "text/x-tarnw";

void RecordVersionAndType();

// An installer found damaged leaves the system as it found it: the type record and the
// folders RecordVersionAndType made for it go again.
void TakeBackType();

// What RecordVersionAndType made: folders, outer ones first, then the type's record; empty
// when the record was there before.
const std::vector<std::string>& MadeAtStart();

} // namespace installer_start_up

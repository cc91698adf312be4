#include "lib/LibLocaleDateTime.h"

#include "platform/app/Message.h"

LibLocaleDateTime::LibLocaleDateTime() : fSeparator(" ") {}

LibLocaleDateTime::LibLocaleDateTime(const LibLocaleDateTime& other)
    : LibLocaleDate(other), LibLocaleTime(other), fSeparator(other.fSeparator) {}

LibLocaleDateTime::~LibLocaleDateTime() {}

LibLocaleDateTime& LibLocaleDateTime::operator=(const LibLocaleDateTime& other) {
    LibLocaleDate::operator=(other);
    LibLocaleTime::operator=(other);
    fSeparator = other.fSeparator;
    return *this;
}

void LibLocaleDateTime::SetSeperator(const char* separator) {
    fSeparator = separator == nullptr ? "" : separator;
}

LibString LibLocaleDateTime::Format(const LibDateTime& value) const {
    LibString out = LibLocaleDate::Format(value);
    if (fSeparator.String() != nullptr)
        out.Concat(fSeparator.String());
    out.Concat(LibLocaleTime::Format(value));
    return out;
}

status_t LibLocaleDateTime::Archive(BMessage& archive) const {
    status_t status = archive.AddString("field_seperator",
                                        fSeparator.String() == nullptr ? "" : fSeparator.String());
    if (status == B_OK)
        status = LibLocaleDate::Archive(archive);
    if (status == B_OK)
        status = LibLocaleTime::Archive(archive);
    return status;
}

status_t LibLocaleDateTime::Restore(const BMessage& archive) {
    const char* separator = nullptr;
    if (archive.FindString("field_seperator", &separator) != B_OK || separator == nullptr)
        separator = "";
    fSeparator = separator;
    LibLocaleDate::Restore(archive);
    return LibLocaleTime::Restore(archive);
}

void LibLocaleDateTime::PrintToStream() const {
    LibLocaleDate::PrintToStream();
    LibLocaleTime::PrintToStream();
}

#pragma once

#include "lib/LibStringList.h"
#include "platform/interface/gui/FilePanel.h"

// Lists the entries whose MIME type is one of the accepted ones (links followed to what
// they point at), or every file when all files are allowed.
class LibRefFilter : public BRefFilter {
public:
    LibRefFilter();
    ~LibRefFilter() override;

    bool Filter(const entry_ref* ref, BNode* node, struct stat* st, const char* mimeType) override;

    void AddType(const char* mimeType);
    void AllowAllFiles(const bool& allow);
    void AllowSoftLinks(const bool& follow);

private:
    LibStringList fTypes;
    bool fAllFiles = false;
    bool fFollowLinks = true;
};

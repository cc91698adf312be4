#pragma once

// Whether an installer file is whole: its resource container is there, consistent and not
// cut short, and the resources a run reads match their checksums. A run checks this before
// its first write, so that a damaged or incomplete download changes nothing.

#include <functional>
#include <string>
#include <vector>

#include "files/InstallerSignature.h"
#include "platform/support/SupportDefs.h"
#include "platform/support/TypeConstants.h"

enum class Integrity {
    kSound,       // a whole container whose checked resources match their checksums
    kNoContainer, // a program without resources: an installer that was never packed
    kDamaged,     // a container or resource whose bytes are not what was written
    kIncomplete,  // a file cut short (expectedSize tells how long it should be, when known)
};

struct IntegrityReport {
    Integrity verdict = Integrity::kSound;
    uint64 expectedSize = 0; // kIncomplete: the whole file's size; 0 when not known
    uint64 actualSize = 0;   // the file's size
    std::string reason;      // what is wrong, in English, for the log and standard error
    // Who signed the file. A signature that does not match makes the file damaged; one
    // that matches vouches for every byte, so the resources' checksums are not read again.
    SignatureReport signature;

    bool Sound() const { return verdict == Integrity::kSound; }
    // Damaged or incomplete: the user should download the installer again.
    bool Broken() const {
        return verdict == Integrity::kDamaged || verdict == Integrity::kIncomplete;
    }
};

// Item i's payload is resource 'RAWT' 2100 + i. The payloads are the bulk of an installer:
// a run checks only those of the items it places.
constexpr int32 kFirstPayloadResourceId = 2100;
inline bool IsPayloadResource(type_code type, int32 id) {
    return type == B_RAW_TYPE && id >= kFirstPayloadResourceId;
}

// The program image carries a mark whose last byte the packer turns from 'U' to 'P' when
// it gives the program its container. A file that ends where its image ends is then told
// apart: a program never packed, or an installer that lost its whole container.
bool MarkImagePacked(int fd, uint64 imageSize);

// Looks at the container alone (trailer, head and index), reading a few bytes.
IntegrityReport ExamineInstallerFile(const char* path);

// The container, its signature when it carries one, then every resource for which `wanted` answers
// true, each streamed once against its CRC-32. `required` resources must be there at all.
struct RequiredResource {
    type_code type;
    int32 id;
    const char* what; // "the configuration", ...
};
// kChecked also checks the program image before the container (a few milliseconds for
// its 3 MB): a run places a copy of it as the deinstaller.
enum class ImageCheck { kSkipped, kChecked };
IntegrityReport CheckInstallerFile(const char* path,
                                   const std::function<bool(type_code, int32)>& wanted,
                                   const std::vector<RequiredResource>& required = {},
                                   ImageCheck image = ImageCheck::kSkipped);

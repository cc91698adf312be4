#pragma once

// The attributes an extracted node gets.

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "archive/ZipExtractor.h"
#include "archive/ZipFormat.h"
#include "platform/storage/NodeAttributes.h"

// Attributes for one node: those its entry carries, then the run's own (which win). No
// MIME type is stored: a node without one has the type its content shows. Only a file
// system that keeps no user attributes is forgiven; every other failure is the node's
// failure.
class AttributeWriter {
public:
    AttributeWriter(int fd, bool fresh, const std::string& what)
        : fFd(fd), fFresh(fresh), fWhat(what) {}

    bool Carried(const std::vector<zipformat::CarriedAttribute>& attributes, std::string& error) {
        for (const auto& a : attributes) {
            if (!Write(a.name.c_str(), a.type, a.value.data(), a.value.size(), fFresh, error))
                return false;
        }
        fCarried = &attributes;
        return true;
    }

    bool Run(const std::vector<ZipExtractor::Attribute>& attributes, std::string& error) {
        for (const auto& a : attributes) {
            bool again = false;
            if (fCarried != nullptr) {
                for (const auto& c : *fCarried)
                    again = again || c.name == a.name;
            }
            // A value the archive carried under the same name may have left a companion.
            if (!Write(a.name.c_str(), a.type, a.value.data(), a.value.size(), fFresh && !again,
                       error))
                return false;
        }
        return true;
    }

private:
    bool Write(const char* name, uint32_t type, const void* value, size_t size, bool fresh,
               std::string& error) {
        if (fUnsupported)
            return true;
        status_t status = node_attributes::WriteOnDescriptor(fFd, name, type, value, size, fresh);
        if (status == B_OK)
            return true;
        if (status == B_ATTRIBUTES_NOT_SUPPORTED) {
            fUnsupported = true;
            return true;
        }
        int code = errno;
        error = "cannot set attribute \"" + std::string(name) + "\" of \"" + fWhat +
                "\": " + strerror(code != 0 ? code : EIO);
        return false;
    }

    int fFd;
    bool fFresh;
    const std::string& fWhat;
    const std::vector<zipformat::CarriedAttribute>* fCarried = nullptr;
    bool fUnsupported = false;
};

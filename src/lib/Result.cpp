#include "lib/Result.h"

#include <cstring>

Failure Failure::System(std::string what, std::string path, int error) {
    return {std::move(what), std::move(path), "", std::strerror(error), error};
}

Failure Failure::Because(std::string what, std::string path, std::string reason) {
    return {std::move(what), std::move(path), "", std::move(reason), 0};
}

Failure Failure::To(std::string other) && {
    to = std::move(other);
    return std::move(*this);
}

std::string Failure::Text() const {
    std::string text = what;
    if (!path.empty())
        text += (text.empty() ? "\"" : " \"") + path + "\"";
    if (!to.empty())
        text += " to \"" + to + "\"";
    if (!reason.empty())
        text += (text.empty() ? "" : ": ") + reason;
    return text;
}

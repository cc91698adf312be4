#include "StrictJson.h"

#include <set>
#include <vector>

#include "Manifest.h"

namespace tarnw::pack {

namespace {

using json = nlohmann::json;

// Where the parser is: one frame per open object or array.
struct Frame {
    bool isArray = false;
    size_t index = 0; // the array element being read
    std::string key;  // the object member being read
    std::set<std::string> keys;
};

std::string PathOf(const std::vector<Frame>& frames, size_t depth) {
    std::string path;
    for (size_t i = 0; i < depth && i < frames.size(); ++i) {
        if (frames[i].isArray)
            path += "[" + std::to_string(frames[i].index) + "]";
        else
            path += (path.empty() ? "" : ".") + frames[i].key;
    }
    return path;
}

// A finished value moves the array around it to its next element.
void ValueDone(std::vector<Frame>& frames) {
    if (!frames.empty() && frames.back().isArray)
        frames.back().index++;
}

} // namespace

json ParseStrictJson(const std::string& text) {
    std::vector<Frame> frames;
    auto callback = [&frames](int, json::parse_event_t event, json& parsed) {
        switch (event) {
        case json::parse_event_t::object_start:
            frames.push_back(Frame{});
            break;
        case json::parse_event_t::array_start: {
            Frame frame;
            frame.isArray = true;
            frames.push_back(frame);
            break;
        }
        case json::parse_event_t::key: {
            Frame& frame = frames.back();
            frame.key = parsed.get<std::string>();
            if (!frame.keys.insert(frame.key).second)
                throw ManifestError(PathOf(frames, frames.size()) + ": key given twice");
            break;
        }
        case json::parse_event_t::object_end:
        case json::parse_event_t::array_end:
            frames.pop_back();
            ValueDone(frames);
            break;
        case json::parse_event_t::value:
            ValueDone(frames);
            break;
        }
        return true;
    };
    try {
        return json::parse(text, callback);
    } catch (const json::exception& error) {
        throw ManifestError(std::string("manifest is not valid JSON: ") + error.what());
    }
}

std::string JsonString(const nlohmann::json& value, const std::string& where) {
    if (!value.is_string())
        throw ManifestError(where + ": must be a string");
    std::string text = value.get<std::string>();
    if (text.find('\0') != std::string::npos)
        throw ManifestError(where + ": must not contain a NUL character");
    return text;
}

std::vector<std::string> JsonStringArray(const nlohmann::json& value, const std::string& where) {
    if (!value.is_array())
        throw ManifestError(where + ": must be an array of strings");
    std::vector<std::string> result;
    for (size_t i = 0; i < value.size(); ++i)
        result.push_back(JsonString(value[i], where + "[" + std::to_string(i) + "]"));
    return result;
}

} // namespace tarnw::pack

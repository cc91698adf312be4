#include "DesktopEntrySource.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <sys/stat.h>

#include "Manifest.h"
#include "NearestName.h"
#include "StrictJson.h"
#include "SvgPicture.h"

namespace fs = std::filesystem;
using json = nlohmann::json;

namespace tarnw::pack {

namespace {

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
    throw ManifestError(where + ": " + what);
}

// The categories of the desktop menu registry, main and additional (the reserved ones
// need an OnlyShowIn key and are left out). Names starting with "X-" are extensions.
const std::vector<std::string>& RegisteredCategories() {
    static const std::vector<std::string> names = {"AudioVideo",
                                                   "Audio",
                                                   "Video",
                                                   "Development",
                                                   "Education",
                                                   "Game",
                                                   "Graphics",
                                                   "Network",
                                                   "Office",
                                                   "Science",
                                                   "Settings",
                                                   "System",
                                                   "Utility",
                                                   "Building",
                                                   "Debugger",
                                                   "IDE",
                                                   "GUIDesigner",
                                                   "Profiling",
                                                   "RevisionControl",
                                                   "Translation",
                                                   "Calendar",
                                                   "ContactManagement",
                                                   "Database",
                                                   "Dictionary",
                                                   "Chart",
                                                   "Email",
                                                   "Finance",
                                                   "FlowChart",
                                                   "PDA",
                                                   "ProjectManagement",
                                                   "Presentation",
                                                   "Spreadsheet",
                                                   "WordProcessor",
                                                   "2DGraphics",
                                                   "VectorGraphics",
                                                   "RasterGraphics",
                                                   "3DGraphics",
                                                   "Scanning",
                                                   "OCR",
                                                   "Photography",
                                                   "Publishing",
                                                   "Viewer",
                                                   "TextTools",
                                                   "DesktopSettings",
                                                   "HardwareSettings",
                                                   "Printing",
                                                   "PackageManager",
                                                   "Dialup",
                                                   "InstantMessaging",
                                                   "Chat",
                                                   "IRCClient",
                                                   "Feed",
                                                   "FileTransfer",
                                                   "HamRadio",
                                                   "News",
                                                   "P2P",
                                                   "RemoteAccess",
                                                   "Telephony",
                                                   "TelephonyTools",
                                                   "VideoConference",
                                                   "WebBrowser",
                                                   "WebDevelopment",
                                                   "Midi",
                                                   "Mixer",
                                                   "Sequencer",
                                                   "Tuner",
                                                   "TV",
                                                   "AudioVideoEditing",
                                                   "Player",
                                                   "Recorder",
                                                   "DiscBurning",
                                                   "ActionGame",
                                                   "AdventureGame",
                                                   "ArcadeGame",
                                                   "BoardGame",
                                                   "BlocksGame",
                                                   "CardGame",
                                                   "KidsGame",
                                                   "LogicGame",
                                                   "RolePlaying",
                                                   "Shooter",
                                                   "Simulation",
                                                   "SportsGame",
                                                   "StrategyGame",
                                                   "Art",
                                                   "Construction",
                                                   "Music",
                                                   "Languages",
                                                   "ArtificialIntelligence",
                                                   "Astronomy",
                                                   "Biology",
                                                   "Chemistry",
                                                   "ComputerScience",
                                                   "DataVisualization",
                                                   "Economy",
                                                   "Electricity",
                                                   "Geography",
                                                   "Geology",
                                                   "Geoscience",
                                                   "History",
                                                   "Humanities",
                                                   "ImageProcessing",
                                                   "Literature",
                                                   "Maps",
                                                   "Math",
                                                   "NumericalAnalysis",
                                                   "MedicalSoftware",
                                                   "Physics",
                                                   "Robotics",
                                                   "Spirituality",
                                                   "Sports",
                                                   "ParallelComputing",
                                                   "Amusement",
                                                   "Archiving",
                                                   "Compression",
                                                   "Electronics",
                                                   "Emulator",
                                                   "Engineering",
                                                   "FileTools",
                                                   "FileManager",
                                                   "TerminalEmulator",
                                                   "Filesystem",
                                                   "Monitor",
                                                   "Security",
                                                   "Accessibility",
                                                   "Calculator",
                                                   "Clock",
                                                   "TextEditor",
                                                   "Documentation",
                                                   "Adult",
                                                   "Core",
                                                   "KDE",
                                                   "GNOME",
                                                   "XFCE",
                                                   "DDE",
                                                   "GTK",
                                                   "Qt",
                                                   "Motif",
                                                   "Java",
                                                   "ConsoleOnly"};
    return names;
}

// The sizes of the hicolor theme's fixed-size folders.
const std::vector<int32_t> kIconSides = {16, 22, 24, 32, 36, 48, 64, 72, 96, 128, 192, 256, 512};

// The item (and the path inside it) that holds `program`; false when none does.
bool FindProgramItem(const Manifest& manifest, const fs::path& program, int32_t& item,
                     std::string& inside) {
    for (size_t i = 0; i < manifest.files.size(); ++i) {
        const fs::path& source = manifest.files[i].source;
        if (program == source) {
            item = int32_t(i);
            inside.clear();
            return true;
        }
        fs::path relative = program.lexically_relative(source);
        if (!relative.empty() && *relative.begin() != ".." && relative != "." &&
            fs::is_directory(fs::symlink_status(source))) {
            item = int32_t(i);
            inside = relative.string();
            return true;
        }
    }
    return false;
}

void ReadIcon(const json& value, const fs::path& folder, const std::string& where,
              ManifestDesktopEntry& entry) {
    fs::path path = JsonString(value, where);
    if (path.empty())
        Fail(where, "must name a PNG or SVG file");
    if (path.is_relative())
        path = folder / path;
    std::error_code error;
    if (!fs::is_regular_file(path, error))
        Fail(where, "not a file: " + path.string());
    if (fs::file_size(path, error) > kLargestIconBytes)
        Fail(where, path.string() + " is larger than " + std::to_string(kLargestIconBytes) +
                        " bytes; an icon should be far smaller");
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (!in)
        Fail(where, "cannot read " + path.string());
    entry.iconData = bytes.str();

    int32_t side = PngSide(entry.iconData);
    if (side > 0) {
        if (std::find(kIconSides.begin(), kIconSides.end(), side) == kIconSides.end()) {
            std::string sizes;
            for (int32_t known : kIconSides)
                sizes += (sizes.empty() ? "" : ", ") + std::to_string(known);
            Fail(where, "a PNG icon of " + std::to_string(side) + "x" + std::to_string(side) +
                            " pixels has no folder in the icon theme; use one of " + sizes);
        }
        entry.iconType = "png";
        entry.iconSize = side;
    } else if (side == 0) {
        Fail(where, "a PNG icon must be square");
    } else if (entry.iconData.substr(0, 4096).find("<svg") != std::string::npos) {
        entry.iconType = "svg";
        SvgPicture picture = DrawSvgAsPng(entry.iconData, kIconPictureSide);
        entry.iconPicture = picture.png;
        // The menu entry takes the SVG as it is; only the installer window goes without.
        if (picture.png.empty())
            std::cerr << "tarnw-pack: " << where
                      << ": the installer window will show no icon: " << path.string()
                      << " could not be drawn (" << picture.reason << ")\n";
    } else {
        Fail(where, path.string() + " is neither a PNG nor an SVG image");
    }
}

} // namespace

int32_t PngSide(const std::string& bytes) {
    static const std::string kSignature = "\x89PNG\r\n\x1a\n";
    // Signature, then the IHDR chunk: length, "IHDR", width and height (big-endian).
    if (bytes.size() < 24 || bytes.compare(0, 8, kSignature) != 0 ||
        bytes.compare(12, 4, "IHDR") != 0)
        return -1;
    auto number = [&bytes](size_t at) {
        uint32_t value = 0;
        for (size_t i = 0; i < 4; ++i)
            value = (value << 8) | uint8_t(bytes[at + i]);
        return value;
    };
    uint32_t width = number(16);
    uint32_t height = number(20);
    if (width != height || width == 0 || width > 65536)
        return 0;
    return int32_t(width);
}

std::string DesktopEntryId(const std::string& installFolderName, const std::string& entryName) {
    auto clean = [](const std::string& text) {
        std::string id;
        for (unsigned char c : text)
            id += std::isalnum(c) != 0 && c < 0x80 ? char(c) : (c == '-' ? '-' : '_');
        return id;
    };
    std::string folder = clean(installFolderName);
    std::string name = clean(entryName);
    std::string id = folder == name ? folder : folder + "-" + name;
    // An element of such a name may not start with a digit.
    if (id.empty() || std::isdigit(static_cast<unsigned char>(id[0])) != 0)
        id = "_" + id;
    return id;
}

std::vector<ManifestDesktopEntry> ParseDesktopEntries(const json& entries,
                                                      const Manifest& manifest) {
    if (!entries.is_array())
        Fail("desktop_entries", "must be an array");
    std::vector<ManifestDesktopEntry> result;
    std::set<std::string> ids = {
        DesktopEntryId(manifest.String("opt_created_folder"), "deinstaller")};
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string where = "desktop_entries[" + std::to_string(i) + "]";
        const json& object = entries[i];
        if (!object.is_object())
            Fail(where, "must be an object");
        static const std::vector<std::string> kKeys = {"name",       "exec",     "icon", "comment",
                                                       "categories", "terminal", "args"};
        for (const auto& [key, value] : object.items()) {
            (void)value;
            if (std::find(kKeys.begin(), kKeys.end(), key) == kKeys.end())
                Fail(where + "." + key, "unknown key" + DidYouMean(key, kKeys));
        }
        ManifestDesktopEntry entry;
        if (!object.contains("name"))
            Fail(where + ".name", "missing");
        entry.name = JsonString(object["name"], where + ".name");
        if (entry.name.empty())
            Fail(where + ".name", "must not be empty");
        entry.id = DesktopEntryId(manifest.String("opt_created_folder"), entry.name);
        if (!ids.insert(entry.id).second)
            Fail(where + ".name", "'" + entry.name +
                                      "' gives the same menu entry file as another entry (" +
                                      entry.id + ".desktop)");

        if (!object.contains("exec"))
            Fail(where + ".exec", "missing");
        std::string exec = JsonString(object["exec"], where + ".exec");
        fs::path program = fs::path(exec).is_relative() ? manifest.folder / exec : fs::path(exec);
        program = program.lexically_normal();
        if (!FindProgramItem(manifest, program, entry.item, entry.pathInItem)) {
            std::vector<std::string> sources;
            for (const auto& file : manifest.files)
                sources.push_back(file.storedName);
            Fail(where + ".exec", "'" + exec + "' is neither an item of \"files\" nor inside one" +
                                      DidYouMean(exec, sources));
        }
        struct stat st;
        if (stat(program.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            Fail(where + ".exec", "'" + exec + "' is not a file");
        if ((st.st_mode & S_IXUSR) == 0)
            Fail(where + ".exec", "'" + exec + "' is not executable");

        if (object.contains("icon"))
            ReadIcon(object["icon"], manifest.folder, where + ".icon", entry);
        if (object.contains("comment"))
            entry.comment = JsonString(object["comment"], where + ".comment");
        if (object.contains("terminal")) {
            if (!object["terminal"].is_boolean())
                Fail(where + ".terminal", "must be true or false");
            entry.terminal = object["terminal"].get<bool>();
        }
        if (object.contains("args"))
            entry.args = JsonStringArray(object["args"], where + ".args");
        if (object.contains("categories"))
            entry.categories = JsonStringArray(object["categories"], where + ".categories");
        for (size_t c = 0; c < entry.categories.size(); ++c) {
            const std::string& category = entry.categories[c];
            const auto& known = RegisteredCategories();
            if (category.rfind("X-", 0) == 0 && category.size() > 2 &&
                category.find_first_of(";\n\t ") == std::string::npos)
                continue;
            if (std::find(known.begin(), known.end(), category) == known.end())
                Fail(where + ".categories[" + std::to_string(c) + "]",
                     "'" + category + "' is no registered menu category" +
                         DidYouMean(category, known));
        }
        result.push_back(entry);
    }
    return result;
}

} // namespace tarnw::pack

#include "engine/ScriptBlockEditor.h"

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Reads one whole line, its newline included; false at the end of the file.
bool ReadLine(FILE* file, std::string& line) {
    line.clear();
    int c;
    while ((c = std::fgetc(file)) != EOF) {
        line += static_cast<char>(c);
        if (c == '\n')
            break;
    }
    return !line.empty();
}

bool Contains(const std::string& line, const std::string& what) {
    return line.find(what) != std::string::npos;
}

// A block's marker line is the marker alone on its line. Matching it anywhere in a line
// would let the tag "Demo" take away another package's "#BEGIN_DemoTools" block.
bool IsMarker(const std::string& line, const std::string& marker) {
    size_t end = line.size();
    while (end > 0 && (line[end - 1] == '\n' || line[end - 1] == '\r' || line[end - 1] == ' ' ||
                       line[end - 1] == '\t'))
        --end;
    size_t start = 0;
    while (start < end && (line[start] == ' ' || line[start] == '\t'))
        ++start;
    return line.compare(start, end - start, marker) == 0;
}

bool CopyFile(const std::string& from, const std::string& to) {
    std::error_code error;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
    return !error;
}

struct FirstPass {
    bool beginSeen = false;
    bool endSeen = false;
    std::string lastLine;
};

FirstPass Scan(const std::string& path, const std::string& begin, const std::string& end) {
    FirstPass pass;
    FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr)
        return pass;
    std::string line;
    while (ReadLine(file, line)) {
        if (IsMarker(line, begin))
            pass.beginSeen = true;
        else if (IsMarker(line, end))
            pass.endSeen = true;
        pass.lastLine = line;
    }
    std::fclose(file);
    return pass;
}

// Copies `path` without its blocks into "<path>.tmp" and puts the copy in place. Returns
// false, leaving the file untouched, when either file cannot be opened.
bool RemoveBlocks(const std::string& path, const std::string& begin, const std::string& end,
                  std::string& lastLine) {
    std::string temporary = path + ".tmp";
    FILE* in = std::fopen(path.c_str(), "r");
    if (in == nullptr)
        return false;
    FILE* out = std::fopen(temporary.c_str(), "w");
    if (out == nullptr) {
        std::fclose(in);
        return false;
    }
    // The working copy keeps the file's permissions, so an executable script stays one.
    struct stat info;
    if (fstat(fileno(in), &info) == 0)
        fchmod(fileno(out), info.st_mode & 07777);

    bool skipping = false;
    bool wroteAny = false;
    std::string written;
    std::string line;
    while (ReadLine(in, line)) {
        if (IsMarker(line, begin))
            skipping = true;
        if (!skipping) {
            std::fputs(line.c_str(), out);
            written = line;
            wroteAny = true;
        }
        if (IsMarker(line, end))
            skipping = false;
    }
    std::fclose(in);
    bool ok = std::fflush(out) == 0;
    ok = std::fclose(out) == 0 && ok;
    if (!ok) {
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    if (wroteAny)
        lastLine = written;
    return true;
}

} // namespace

bool ScriptBlockEditor::HasBlock(const std::string& path, const char* tag) {
    std::string name = tag != nullptr ? tag : "";
    FirstPass pass = Scan(path, "#BEGIN_" + name, "#END_" + name);
    return pass.beginSeen && pass.endSeen;
}

bool ScriptBlockEditor::Edit(const std::string& path, const char* tag, const char* contents) {
    std::string name = tag != nullptr ? tag : "";
    std::string begin = "#BEGIN_" + name;
    std::string end = "#END_" + name;

    std::error_code error;
    if (!fs::exists(path, error)) {
        std::string sample = path + ".sample";
        if (fs::exists(sample, error))
            CopyFile(sample, path);
    }

    FirstPass pass = Scan(path, begin, end);
    bool endsWithNewline = Contains(pass.lastLine, "\n");

    // The file as it was before this edit; nothing to keep when there is no file yet.
    if (fs::exists(path, error))
        CopyFile(path, path + ".orig");

    if (pass.beginSeen && pass.endSeen) {
        std::string lastWritten = pass.lastLine;
        if (RemoveBlocks(path, begin, end, lastWritten) && !Contains(lastWritten, "\n"))
            endsWithNewline = false;
    }

    if (contents == nullptr)
        return false;

    FILE* file = std::fopen(path.c_str(), "a");
    if (file == nullptr)
        return false;
    if (!endsWithNewline) {
        std::fprintf(stderr, "%s\n", "last line");
        std::fputc('\n', file);
    }
    std::fprintf(file, "%s\n", begin.c_str());
    std::fprintf(file, "%s\n", contents);
    std::fprintf(file, "%s\n", end.c_str());
    bool ok = std::fflush(file) == 0;
    ok = std::fclose(file) == 0 && ok;
    return ok;
}

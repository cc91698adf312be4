// tarnw-pack: builds Tarnwhistle installers from a JSON manifest and looks inside them.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "Inspector.h"
#include "InstallerBuilder.h"
#include "Manifest.h"

namespace {

int Usage() {
    std::fprintf(
        stderr,
        "usage:\n"
        "  tarnw-pack build MANIFEST.json -o OUTPUT [--stub PROGRAM]\n"
        "  tarnw-pack list INSTALLER\n"
        "  tarnw-pack config INSTALLER\n"
        "  tarnw-pack extract INSTALLER TYPE ID OUTFILE\n"
        "  tarnw-pack verify INSTALLER\n");
    return 2;
}

int Build(const std::vector<std::string>& args) {
    std::string manifestPath;
    tarnw::pack::BuildOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](const char* option) -> std::string {
            if (i + 1 >= args.size())
                throw std::runtime_error(std::string(option) + " needs a value");
            return args[++i];
        };
        if (arg == "-o" || arg == "--output")
            options.output = value("-o");
        else if (arg == "--stub")
            options.stub = value("--stub");
        else if (!arg.empty() && arg[0] == '-')
            throw std::runtime_error("unknown option " + arg);
        else if (manifestPath.empty())
            manifestPath = arg;
        else
            throw std::runtime_error("more than one manifest given");
    }
    if (manifestPath.empty() || options.output.empty())
        return Usage();
    tarnw::pack::Manifest manifest = tarnw::pack::LoadManifest(manifestPath);
    tarnw::pack::BuildInstaller(manifest, options);
    std::printf("wrote %s\n", options.output.c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return Usage();
    std::string command = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    std::string error;
    try {
        if (command == "build")
            return Build(args);
        if (command == "list" && args.size() == 1) {
            if (tarnw::pack::ListResources(args[0], std::cout, error))
                return 0;
        } else if (command == "config" && args.size() == 1) {
            if (tarnw::pack::PrintConfiguration(args[0], std::cout, error))
                return 0;
        } else if (command == "extract" && args.size() == 4) {
            uint32_t type = 0;
            char* end = nullptr;
            long id = std::strtol(args[2].c_str(), &end, 10);
            if (!tarnw::pack::ParseTypeCode(args[1], type))
                error = "not a type code: " + args[1];
            else if (end == args[2].c_str() || *end != '\0')
                error = "not a resource id: " + args[2];
            else if (tarnw::pack::ExtractResource(args[0], type, int32_t(id), args[3], error))
                return 0;
        } else if (command == "verify" && args.size() == 1) {
            if (tarnw::pack::VerifyInstaller(args[0], error)) {
                std::printf("%s: OK\n", args[0].c_str());
                return 0;
            }
        } else {
            return Usage();
        }
    } catch (const std::exception& failure) {
        error = failure.what();
    }
    std::fprintf(stderr, "tarnw-pack: %s\n", error.c_str());
    return 1;
}

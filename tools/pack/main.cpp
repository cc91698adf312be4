// tarnw-pack: builds Tarnwhistle installers from a JSON manifest and looks inside them.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

#include "Inspector.h"
#include "InstallerBuilder.h"
#include "InstallerSigning.h"
#include "Manifest.h"
#include "SecretKey.h"
#include "files/InstallerSignature.h"

namespace {

int Usage() {
    std::fprintf(
        stderr, "usage:\n"
                "  tarnw-pack build MANIFEST.json -o OUTPUT [--stub PROGRAM] [--sign SECRET_KEY]\n"
                "                   [--signer NAME] [--passphrase-file FILE]\n"
                "  tarnw-pack keygen -p PUBLIC_KEY -s SECRET_KEY -c COMMENT\n"
                "                   [--passphrase | --passphrase-file FILE] [--kdf interactive]\n"
                "  tarnw-pack sign INSTALLER -s SECRET_KEY [--detached [-x SIGNATURE]]\n"
                "                   [--signer NAME] [-t TRUSTED_COMMENT] [--passphrase-file FILE]\n"
                "  tarnw-pack list INSTALLER\n"
                "  tarnw-pack config INSTALLER\n"
                "  tarnw-pack extract INSTALLER TYPE ID OUTFILE\n"
                "  tarnw-pack verify INSTALLER [-p PUBLIC_KEY_OR_FILE] [-x SIGNATURE]\n");
    return 2;
}

// The options of a command: flags and options with a value, and the other words.
struct Words {
    std::vector<std::string> plain;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
};

Words ReadWords(const std::vector<std::string>& args, const std::set<std::string>& withValue,
                const std::set<std::string>& flags) {
    Words words;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (withValue.count(arg) != 0) {
            if (i + 1 >= args.size())
                throw std::runtime_error(arg + " needs a value");
            words.values[arg] = args[++i];
        } else if (flags.count(arg) != 0) {
            words.flags.insert(arg);
        } else if (!arg.empty() && arg[0] == '-') {
            throw std::runtime_error("unknown option " + arg);
        } else {
            words.plain.push_back(arg);
        }
    }
    return words;
}

std::string Value(const Words& words, const std::string& name, const std::string& fallback = "") {
    auto found = words.values.find(name);
    return found != words.values.end() ? found->second : fallback;
}

// A line read from the terminal without echo, or from standard input when it is no
// terminal (as minisign reads it).
bool ReadPassphrase(const char* prompt, std::string& passphrase) {
    bool terminal = isatty(STDIN_FILENO) != 0;
    termios saved{};
    if (terminal) {
        std::fprintf(stderr, "%s", prompt);
        tcgetattr(STDIN_FILENO, &saved);
        termios quiet = saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    bool got = static_cast<bool>(std::getline(std::cin, passphrase));
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        std::fprintf(stderr, "\n");
    }
    if (!passphrase.empty() && passphrase.back() == '\r')
        passphrase.pop_back();
    return got;
}

bool PassphraseFromFile(const std::string& path, std::string& passphrase) {
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read the passphrase file " + path);
    std::getline(in, passphrase);
    if (!passphrase.empty() && passphrase.back() == '\r')
        passphrase.pop_back();
    return true;
}

tarnw::pack::SecretKey LoadKey(const std::string& path, const Words& words) {
    std::string file = Value(words, "--passphrase-file");
    tarnw::pack::PassphraseSource source = [&file](std::string& passphrase) {
        if (!file.empty())
            return PassphraseFromFile(file, passphrase);
        return ReadPassphrase("Passphrase of the secret key: ", passphrase);
    };
    tarnw::pack::SecretKey key;
    std::string error;
    if (!tarnw::pack::LoadSecretKey(path, source, key, error))
        throw std::runtime_error(error);
    return key;
}

int Keygen(const std::vector<std::string>& args) {
    Words words =
        ReadWords(args, {"-p", "-s", "-c", "--passphrase-file", "--kdf"}, {"--passphrase"});
    std::string kdf = Value(words, "--kdf", "sensitive");
    if (kdf != "sensitive" && kdf != "interactive")
        throw std::runtime_error("--kdf must be sensitive or interactive, not " + kdf);
    std::string publicPath = Value(words, "-p"), secretPath = Value(words, "-s");
    if (publicPath.empty() || secretPath.empty() || !words.plain.empty())
        return Usage();
    if (words.values.count("-c") == 0)
        throw std::runtime_error(
            "keygen needs -c COMMENT: the name installers signed with the key show, such as "
            "your company's");
    std::string passphrase;
    if (words.values.count("--passphrase-file") != 0) {
        PassphraseFromFile(Value(words, "--passphrase-file"), passphrase);
    } else if (words.flags.count("--passphrase") != 0) {
        std::string again;
        if (!ReadPassphrase("Passphrase: ", passphrase) ||
            (isatty(STDIN_FILENO) && !ReadPassphrase("Passphrase again: ", again)))
            throw std::runtime_error("no passphrase was given");
        if (isatty(STDIN_FILENO) && again != passphrase)
            throw std::runtime_error("the two passphrases differ");
    }
    if (words.values.count("--passphrase-file") != 0 && passphrase.empty())
        throw std::runtime_error("the passphrase file holds no passphrase");
    tarnw::pack::SecretKey key = tarnw::pack::GenerateKeyPair(
        publicPath, secretPath, Value(words, "-c"), passphrase, kdf == "interactive");
    std::printf("wrote %s (keep it secret) and %s\nkey id %s\npublic key %s\n", secretPath.c_str(),
                publicPath.c_str(), key.Public().IdText().c_str(), key.Public().Base64().c_str());
    return 0;
}

int Sign(const std::vector<std::string>& args) {
    Words words =
        ReadWords(args, {"-s", "-x", "-t", "--signer", "--passphrase-file"}, {"--detached"});
    if (words.plain.size() != 1 || Value(words, "-s").empty())
        return Usage();
    const std::string& installer = words.plain[0];
    tarnw::pack::SecretKey key = LoadKey(Value(words, "-s"), words);
    if (words.flags.count("--detached") == 0) {
        tarnw::pack::SignInstaller(installer, key, Value(words, "--signer"));
        std::printf("signed %s with key %s\n", installer.c_str(), key.Public().IdText().c_str());
        return 0;
    }
    std::string signature = Value(words, "-x", installer + ".minisig");
    std::string leaf = installer.substr(installer.find_last_of('/') + 1);
    // The default trusted comment carries no time, so that signing is reproducible.
    std::string signer = Value(words, "--signer", key.comment);
    std::string trusted = Value(words, "-t", "file:" + leaf + "\tsigner:" + signer);
    tarnw::pack::WriteDetachedSignature(installer, signature, key, trusted);
    std::printf("wrote %s\n", signature.c_str());
    return 0;
}

int Verify(const std::vector<std::string>& args) {
    Words words = ReadWords(args, {"-p", "-x"}, {});
    if (words.plain.size() != 1)
        return Usage();
    const std::string& installer = words.plain[0];
    SigningKey wanted;
    std::string error;
    bool keyGiven = words.values.count("-p") != 0;
    if (keyGiven && !LoadSigningKey(Value(words, "-p"), wanted, error))
        throw std::runtime_error(error);
    if (words.values.count("-x") != 0) {
        if (!keyGiven)
            throw std::runtime_error("-x needs the public key (-p)");
        std::ifstream in(Value(words, "-x"), std::ios::binary);
        if (!in)
            throw std::runtime_error("cannot read " + Value(words, "-x"));
        std::stringstream text;
        text << in.rdbuf();
        std::string trusted;
        if (!tarnw::pack::VerifyDetachedSignature(installer, text.str(), wanted, trusted, error))
            throw std::runtime_error(error);
        std::printf("%s: the signature %s matches (key %s)\ntrusted comment: %s\n",
                    installer.c_str(), Value(words, "-x").c_str(), wanted.IdText().c_str(),
                    trusted.c_str());
        return 0;
    }
    SignatureReport signature = CheckInstallerSignature(installer.c_str());
    if (signature.Mismatch())
        throw std::runtime_error(installer + ": the signature does not match: " + signature.reason);
    if (!tarnw::pack::VerifyInstaller(installer, error))
        throw std::runtime_error(error);
    if (keyGiven && (!signature.Signed() || !(signature.key == wanted)))
        throw std::runtime_error(installer + ": not signed by key " + wanted.IdText() + " (" +
                                 (signature.Signed() ? "signed by " + signature.SignerText()
                                                     : std::string("not signed")) +
                                 ")");
    std::printf("%s: OK\n", installer.c_str());
    std::printf("signed by: %s\n",
                signature.Signed() ? signature.SignerText().c_str() : "not signed");
    return 0;
}

int Build(const std::vector<std::string>& args) {
    std::string manifestPath;
    tarnw::pack::BuildOptions options;
    std::string keyPath;
    Words keyWords;
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
        else if (arg == "--sign")
            keyPath = value("--sign");
        else if (arg == "--signer")
            options.signer = value("--signer");
        else if (arg == "--passphrase-file")
            keyWords.values["--passphrase-file"] = value("--passphrase-file");
        else if (!arg.empty() && arg[0] == '-')
            throw std::runtime_error("unknown option " + arg);
        else if (manifestPath.empty())
            manifestPath = arg;
        else
            throw std::runtime_error("more than one manifest given");
    }
    if (manifestPath.empty() || options.output.empty())
        return Usage();
    // The key first: a wrong passphrase should not cost a whole build.
    tarnw::pack::SecretKey key;
    if (!keyPath.empty()) {
        key = LoadKey(keyPath, keyWords);
        options.signingKey = &key;
    }
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
        if (command == "keygen")
            return Keygen(args);
        if (command == "sign")
            return Sign(args);
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
        } else if (command == "verify") {
            return Verify(args);
        } else {
            return Usage();
        }
    } catch (const std::exception& failure) {
        error = failure.what();
    }
    std::fprintf(stderr, "tarnw-pack: %s\n", error.c_str());
    return 1;
}

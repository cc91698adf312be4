#pragma once

// A test that builds an installer, runs the engine on it into a fresh destination and
// records what the user was asked.

#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "EngineTestSupport.h"
#include "engine/InstallConfig.h"
#include "files/LibNode.h"
#include "lib/LibString.h"
#include "locale/xLocalize.h"
#include "platform/storage/File.h"
#include "platform/storage/FindDirectory.h"
#include "platform/storage/Path.h"
#include "platform/storage/Resources.h"
#include "support/Sandbox.h"

namespace engine_test {

inline std::string StdFolder(directory_which which) {
    BPath path;
    EXPECT_EQ(find_directory(which, &path, false, nullptr), B_OK);
    return path.Path();
}

inline std::string InstallByOf(const fs::path& path) {
    LibNode node(path.c_str());
    LibString value;
    if (node.ReadStringAttr("InstallBy", value) < 0)
        return "";
    return static_cast<const char*>(value);
}

class InstallFixture : public testing::Test {
protected:
    int32 Run(std::vector<bool> selection = {}) {
        fs::path installer = package.Build();
        if (!language.empty()) {
            EXPECT_TRUE(xLocalize(installer.c_str()).SetLanguage(language.c_str()));
        }
        engine = std::make_unique<InstallConfig>();
        engine->SetInstallerPath(installer.c_str());
        BFile file(installer.c_str(), B_READ_ONLY);
        BResources resources;
        EXPECT_EQ(resources.SetTo(&file), B_OK);
        EXPECT_TRUE(engine->LoadConfiguration(resources));
        for (int32 i = 0; i < engine->CountInstallFiles(); i++)
            engine->MarkInstallFile(i, selection.empty() || selection[i]);
        engine->SetDestinationPath(destination.c_str());
        if (beforeRun)
            beforeRun(*engine);
        return engine->Action();
    }

    // Called with the engine just before its run, when set.
    std::function<void(InstallConfig&)> beforeRun;

    fs::path Folder() const { return destination / "Tool"; }
    std::string language; // the user-interface language of the run; empty: the default
    std::string LogText() const { return tarnw::test::ReadFile(Folder() / "Log"); }
    bool LogHas(const std::string& line) const { return LogText().find(line) != std::string::npos; }
    std::vector<FrontendRequest> Questions() const {
        std::vector<FrontendRequest> replace;
        for (const FrontendRequest& request : ui.frontend.requests) {
            if (request.isReplace)
                replace.push_back(request);
        }
        return replace;
    }

    const FrontendRequest& LastAlert() const { return ui.frontend.requests.back(); }

    ScopedFrontend ui;
    PackageBuilder package;
    fs::path destination = tarnw::test::Sandbox::MakeFolder("dest");
    std::unique_ptr<InstallConfig> engine;
};

} // namespace engine_test

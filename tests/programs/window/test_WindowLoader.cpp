// What the window's loader makes of the system loader's reports, and what the user is told.
#include <gtest/gtest.h>

#include <cstdlib>

#include "programs/window/WindowLoader.h"

TEST(WindowLoader, TheMissingLibraryIsFoundInTheLoadersReport) {
    EXPECT_EQ(MissingLibraryIn("libXrender.so.1: cannot open shared object file: No such file or "
                               "directory"),
              "libXrender.so.1");
    // The report may name the part being loaded first.
    EXPECT_EQ(MissingLibraryIn("/proc/self/fd/3: libXft.so.2: cannot open shared object file: "
                               "No such file or directory"),
              "libXft.so.2");
    // Anything else names no library.
    EXPECT_EQ(MissingLibraryIn("/proc/self/fd/3: undefined symbol: be_app"), "");
    EXPECT_EQ(MissingLibraryIn(": cannot open shared object file"), "");
    EXPECT_EQ(MissingLibraryIn(""), "");
}

TEST(WindowLoader, TheUserIsToldWhatIsMissingInTheirLanguage) {
    WindowOpening library;
    library.problem = WindowOpening::Problem::MissingLibrary;
    library.detail = "libXft.so.2";
    EXPECT_EQ(WindowProblemText("en", library),
              "The window cannot open: the library libXft.so.2 is not installed. Install it, or "
              "use --frontend console or --frontend unattended.");
    EXPECT_NE(WindowProblemText("fr", library).find("la bibliothèque libXft.so.2"),
              std::string::npos);

    WindowOpening display;
    display.problem = WindowOpening::Problem::NoDisplay;
    setenv("DISPLAY", ":9", 1);
    EXPECT_NE(WindowProblemText("sv", display).find("skärmen :9 svarar inte"), std::string::npos);
    unsetenv("DISPLAY");
    EXPECT_NE(WindowProblemText("en", display).find("DISPLAY is not set"), std::string::npos);

    WindowOpening none;
    none.problem = WindowOpening::Problem::NotBuilt;
    EXPECT_EQ(WindowProblemText("en", none),
              "The window cannot open: this installer was built without it");
}

TEST(WindowLoader, ABuildWithoutTheWindowNeverOpensIt) {
    setenv("DISPLAY", ":9", 1);
    const WindowOpening& opening = WindowLoader::Open();
    EXPECT_FALSE(opening.Opens());
    EXPECT_EQ(opening.problem, WindowOpening::Problem::NotBuilt);
    unsetenv("DISPLAY");
}

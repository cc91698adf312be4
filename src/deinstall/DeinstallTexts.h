#pragma once

// The deinstaller's own texts in the ten languages of the installer, from the translation
// sources in catalogue/*.po (embedded at build time, read once). A text missing in a
// language, or a translation whose printf conversions differ from the English text, gives
// the English text.

#include <string>
#include <vector>

#include "platform/support/SupportDefs.h"

enum DeinstallTextId {
    kTextRemove = 3000,
    kTextCancel = 3001,
    kTextOK = 3002,
    kTextTitle = 3003,       // %s product
    kTextWillRemove = 3004,  // %s product
    kTextNothingLeft = 3005, // %s product
    kTextStays = 3006,
    kTextAskRemove = 3007, // %s product
    kTextAskRestore = 3008,
    kTextKeepSaved = 3009,
    kTextPutBack = 3010,
    kTextProgress = 3011,   // %d %d %s
    kTextRemoved = 3012,    // %s product
    kTextIncomplete = 3013, // %s product
    kTextFoldersKept = 3014,
    kTextNotRestored = 3015,
    kTextNothingRemoved = 3016,
    kTextDamaged = 3017,
    kTextUnfinished = 3110,       // %s product
    kTextUnfinishedUndone = 3111, // %s product
    kTextUnfinishedLeft = 3112,   // %s product
    // The command line and the refusals before a run.
    kTextUsage = 3130,           // %s program
    kTextTryHelp = 3131,         // %s program
    kTextUnknownFrontend = 3132, // %s kind
    kTextAnswersFileLine = 3133, // %s path, %d line, %s problem
    kTextAnswersFile = 3134,     // %s path, %s problem
    kTextUnknownLanguage = 3135, // %s code
    kTextWaitingForInstallation = 3136,
    // Files another user could have written, and what holds the installation folder.
    kTextSetAside = 3137,          // %s path
    kTextSetAsideStranger = 3138,  // %s path, %s the place it names
    kTextWaitingForProcess = 3139, // %s process id
    kTextForeignLock = 3140,       // %s process id, %s lock file
    kTextLockNotAFile = 3141,      // %s lock file
    kTextFolderReplaced = 3142,    // %s folder
    kTextSignatureMismatch = 3300, // %s reason
};

class DeinstallTexts {
public:
    // An unknown language speaks English.
    explicit DeinstallTexts(const std::string& language);

    const std::string& Language() const { return fLanguage; }
    std::string Get(int32 id) const;
    // Get(id) with one text filled in.
    std::string Format(int32 id, const std::string& value) const;
    // Get(id) with its %s and %d conversions filled in order.
    std::string Fill(int32 id, const std::vector<std::string>& values) const;
    // "Removing %d of %d (%s)".
    std::string Progress(int index, int total, const std::string& name) const;

    static bool IsLanguage(const std::string& code);
    // The "language" attribute of the file at path; "en" when it has none.
    static std::string LanguageOf(const char* path);
    // The problems of the embedded sources (unreadable file, missing or mismatched texts);
    // empty when all is well. For tests.
    static std::string CheckSources();

private:
    std::string fLanguage;
    mutable std::string fProgressFormat;
};

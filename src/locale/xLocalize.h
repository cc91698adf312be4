#pragma once

#include "lib/LibString.h"
#include "locale/xResources.h"

// The user-interface language and the texts of the string catalogue in it.
//
// The language lives in the attribute "language" (B_STRING_TYPE, the code without a
// NUL) of the program's own executable, so the choice holds for every part of the
// program and for the next start. Texts are looked up as the 'CSTR' resources named
// "<code>:<id>"; an executable that carries no such resource (a bare installer stub,
// the deinstaller, tests) falls back to the catalogue built into this library for the
// same language and id. There is no fall-back to another language.
class xLocalize {
public:
    // The running program's own executable.
    xLocalize();
    // Another executable (the deinstaller being prepared, tests).
    explicit xLocalize(const char* executablePath);
    virtual ~xLocalize();

    // Reads the attribute into the language. When the file has no such attribute the
    // language becomes "en" and the attribute is written so that it exists from then
    // on; when it cannot be read for another reason (or holds no valid code) the
    // language becomes "en" and nothing is written.
    void ObtainLanguage();
    // Makes code the language of this object and stores it on the executable. Returns
    // false when the code is not a valid language code (nothing changes then) or
    // when it could not be stored; then it still holds for every xLocalize of that
    // executable made later in this process, though not for the next start.
    bool SetLanguage(const char* code);
    // Makes code the language of this object and of every xLocalize of the same
    // executable made later in this process, without storing it (the language the user's
    // command line or locale asks for). False, and nothing changes, for an invalid code.
    bool UseLanguage(const char* code);
    // The same for the executable at `executablePath`, before any xLocalize of it exists.
    static bool UseLanguageFor(const char* executablePath, const char* code);
    const char* Language() const { return fLanguage; }

    // The text of the catalogue entry id in the current language; empty when the
    // catalogue has none.
    LibString GetString(const int32& id);

    // The ten languages of the language menu, in menu order; any other index gives
    // "en".
    static const char* LanguageCode(int32 menuIndex);
    static int32 LanguageIndex(const char* code); // -1 when it is none of the ten

private:
    xResources fResources;
    LibString fLanguage;
    LibString fExecutable;
};

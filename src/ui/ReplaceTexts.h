#pragma once

// The wording of the replace question in the ten languages. The window's replace alert and
// the console and unattended front-ends all ask with these texts, chosen by language code
// ("fr", "es", "de", "it", "no", "sv", "da", "nl", "pt"; anything else is English).

#include <string>

struct ReplaceTexts {
    const char* dontReplace;
    const char* replace;
    const char* question; // printf format: kind word, then the existing entry's leaf name
    const char* kindFile;
    const char* kindFolder;
    const char* kindLink;
    const char* created;
    const char* modified;
    const char* size;
    const char* kind;
    const char* path;
    const char* version;
    const char* separator;
    const char* applyToAll;
};

const ReplaceTexts& ReplaceTextsFor(const char* language);

// The kind word of the entry at path, looked at without following links.
const char* ReplaceKindWord(const ReplaceTexts& texts, const char* path);

// The question for the existing entry, formatted into at most 99 bytes (cut at a
// character boundary when a long name does not fit).
std::string ReplaceQuestion(const char* existingPath, const char* language);

#pragma once

// The catalogue texts the engine shows, in the user-interface language. A text used as a
// printf format is used only when its conversions are exactly those of the English text
// (a damaged or hostile catalogue entry cannot make the formatting read arguments that
// are not there); otherwise the English text is used.

#include <string>

#include "platform/support/SupportDefs.h"

class xLocalize;

class EngineTexts {
public:
    explicit EngineTexts(xLocalize& localize) : fLocalize(localize) {}

    // The text of catalogue id; the English text when the catalogue has none.
    std::string Get(int32 id);
    // The text of catalogue id used as a printf format, into at most 1,024 bytes.
    std::string Format(int32 id, ...);
    // The format Format uses for id: the catalogue's text when its conversions are the
    // English text's, otherwise the English text. For a text formatted many times over.
    std::string CheckedFormat(int32 id);

    static const char* English(int32 id);
    // Whether `format` has exactly the conversions listed in `conversions` ("sd" = %s then
    // %d), "%%" aside, with no flags, widths or other conversions.
    static bool ConversionsMatch(const char* format, const char* conversions);
    // The conversions of an English format, for the check above.
    static std::string ConversionsOf(const char* format);

    // The English replace question for the entry at `existingPath` (front-ends that show
    // the replace alert word it in the user's language themselves).
    static std::string ReplaceQuestion(const char* existingPath);

private:
    xLocalize& fLocalize;
};

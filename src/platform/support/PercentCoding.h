#pragma once

// Percent-encoding of bytes ("%2F"), as file URIs, the Trash's records and the journal's
// fields use it.

#include <string>
#include <string_view>

// The value of a hexadecimal digit of either case, or -1.
int HexDigitValue(char c);

// Every byte for which `plain` answers false becomes "%XX" (upper-case digits).
std::string PercentEncode(std::string_view text, bool (*plain)(unsigned char));

// A path as a file URI or a Trash record carries it: letters, digits and "/-_.~" stay.
std::string PercentEncodePath(std::string_view path);

// Decodes every "%XX" into `out`. A '%' without two hexadecimal digits after it makes a
// strict decoding fail (false, `out` incomplete); otherwise it stays as it is.
bool PercentDecode(std::string_view text, std::string& out, bool strict);

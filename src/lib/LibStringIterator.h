#pragma once

// A string with a read position that hands out separator-delimited fields.
//
// GetNextField with one separator returns each field with true. When no separator is
// left and more than one byte remains, the rest is returned with true and the position
// stops on the last byte; the next call then returns that last byte with false. Callers
// that must see every field take the rest of the text from Position() once it returns
// false.

#include "lib/LibString.h"

class LibStringIterator : public LibString {
public:
    LibStringIterator();
    LibStringIterator(const char* text);
    LibStringIterator(const LibString& text);
    LibStringIterator(const LibStringIterator& other);
    // Empty, with room for size bytes.
    explicit LibStringIterator(const int& size);
    ~LibStringIterator() override;

    LibStringIterator& operator=(const char* text);
    LibStringIterator& operator=(const LibString& text);
    LibStringIterator& operator=(const LibStringIterator& other);

    void Reset(const int& position = 0);
    int32 Position() const { return fPosition; }

    bool GetNextField(const char& separator, LibString& field);
    // Stops at any byte of the set; at the end the rest is returned with false and the
    // position does not move.
    bool GetNextField(const char* separators, LibString& field);
    bool GetIndexField(const char& separator, const int32& index, LibString& field);

    void PrintToStream() const override;

private:
    int32 ReadStart() const;

    int32 fPosition;
};

// Unpacking the catalogue sources the build packed.
#include <gtest/gtest.h>

#include <string>

#include "locale/Catalogue.h"
#include "locale/EmbeddedSource.h"

TEST(EmbeddedSource, OnlyAWholeGzipStreamUnpacks) {
    // "tarnwhistle\n", packed by gzip.
    const std::string packed("\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\x03\x2b\x49\x2c\xca\x2b"
                             "\xcf\xc8\x2c\x2e\xc9\x49\xe5\x02\x00\x7a\x17\x54\x79\x0c\x00\x00\x00",
                             32);
    EXPECT_EQ(UnpackEmbeddedSource(packed), "tarnwhistle\n");
    // Cut short, damaged, or no gzip at all: nothing, never a part.
    EXPECT_EQ(UnpackEmbeddedSource(packed.substr(0, 20)), "");
    std::string damaged = packed;
    damaged[12] ^= 0x40;
    EXPECT_EQ(UnpackEmbeddedSource(damaged), "");
    EXPECT_EQ(UnpackEmbeddedSource("msgid \"\""), "");
    EXPECT_EQ(UnpackEmbeddedSource(""), "");
    // The program's own sources unpack.
    EXPECT_NE(catalogue::BuiltinSource("de").find("Language: de"), std::string::npos);
}

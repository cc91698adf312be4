#pragma once

// The translation sources a program carries are gzip-compressed at build time
// (cmake/EmbedCatalogue.cmake); this unpacks one.

#include <string>
#include <string_view>

// The text of a gzip stream; empty when the bytes are no complete gzip stream or the text
// would exceed catalogue::kMaxSourceSize.
std::string UnpackEmbeddedSource(std::string_view packed);

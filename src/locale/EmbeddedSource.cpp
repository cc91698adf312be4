#include "locale/EmbeddedSource.h"

#include <zlib.h>

#include "locale/CatalogueSource.h"

std::string UnpackEmbeddedSource(std::string_view packed) {
    z_stream stream{};
    // 16 + the largest window: a gzip header, not a zlib one.
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
        return "";
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    stream.avail_in = uInt(packed.size());
    std::string text;
    char buffer[16384];
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        status = inflate(&stream, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END)
            break;
        text.append(buffer, sizeof buffer - stream.avail_out);
        if (text.size() > catalogue::kMaxSourceSize)
            status = Z_DATA_ERROR;
    }
    inflateEnd(&stream);
    return status == Z_STREAM_END ? text : std::string();
}

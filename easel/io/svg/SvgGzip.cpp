#include "io/svg/SvgGzip.h"

#include <zlib.h>

#include <memory>

namespace easel::svg {

bool isGzip(const std::string& data) {
    return data.size() >= 2 && static_cast<unsigned char>(data[0]) == 0x1f && static_cast<unsigned char>(data[1]) == 0x8b;
}

bool inflateGzip(const std::string& data, size_t maxBytes, std::string& out, std::string& error) {
    z_stream z{};
    if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK) {
        error = "cannot start inflating the compressed SVG";
        return false;
    }
    std::unique_ptr<z_stream, int (*)(z_stream*)> hold(&z, inflateEnd);
    out.clear();
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    char buffer[65536];
    for (;;) {
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        const int rc = inflate(&z, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - z.avail_out);
        if (out.size() > maxBytes) {
            error = "compressed SVG inflates past " + std::to_string(maxBytes) + " bytes (the limit)";
            return false;
        }
        if (rc == Z_STREAM_END) {
            if (z.avail_in == 0) return true;
            if (inflateReset(&z) != Z_OK) break;  // a further gzip member follows
            continue;
        }
        if (rc != Z_OK) {
            error = std::string("compressed SVG is damaged: ") + (z.msg ? z.msg : "inflate failed");
            return false;
        }
        if (z.avail_in == 0 && z.avail_out != 0) {
            error = "compressed SVG ends early";
            return false;
        }
    }
    error = "compressed SVG is damaged";
    return false;
}

}  // namespace easel::svg

// The Windows build of easel reads and writes JSON documents only: SVG reading
// and writing and PNG pictures need libxml2, librsvg and cairo, which are not
// built for Windows. Those entry points refuse with a message saying so;
// writing a file keeps its all-or-nothing rule with a temporary file and a
// replacing rename.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdio>
#include <fstream>

#include "io/render/Render.h"
#include "io/svg/SvgExport.h"
#include "io/svg/SvgImport.h"
#include "io/render/RenderPdf.h"

namespace easel {

namespace {

constexpr const char* kNoSvg =
    "SVG files and PNG pictures are not available in the Windows build of easel (it reads and writes "
    ".json documents); use easel on Linux to convert or render";

}  // namespace

std::string SvgReport::text() const {
    std::string out;
    for (const auto& note : notes) out += note + "\n";
    return out;
}

bool readSvg(const std::string&, std::unique_ptr<Document>&, SvgReport&, std::string& error, const SvgLimits&) {
    error = kNoSvg;
    return false;
}

bool readSvg(std::string&&, std::unique_ptr<Document>&, SvgReport&, std::string& error, const SvgLimits&) {
    error = kNoSvg;
    return false;
}

bool readSvgFileStreamed(const std::filesystem::path&, std::unique_ptr<Document>&, SvgReport&, const SvgLimits&) {
    return false;
}

std::string writeSvg(const Document&) { return {}; }

bool renderSvg(const std::string&, const RenderSize&, Image&, std::string& error) {
    error = kNoSvg;
    return false;
}

bool renderSvgFitted(const std::string&, int, int, Image&, std::string& error) {
    error = kNoSvg;
    return false;
}

bool renderDocument(const Document&, const RenderSize&, Image&, std::string& error) {
    error = kNoSvg;
    return false;
}

bool encodePng(const Image&, std::string&, std::string& error) {
    error = kNoSvg;
    return false;
}

bool renderPdf(const Document&, std::string&, std::string& error) {
    error = kNoSvg;
    return false;
}

bool writeFileAtomically(const std::string& path, const std::string& data, std::string& error) {
    const std::string temporary = path + ".tmp-" + std::to_string(GetCurrentProcessId());
    {
        std::ofstream out(temporary, std::ios::binary);
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
        out.flush();
        if (!out) {
            out.close();
            std::remove(temporary.c_str());
            error = "cannot write " + path + " (does its folder exist?)";
            return false;
        }
    }
    if (!MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = "cannot write " + path + ": Windows error " + std::to_string(GetLastError());
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool writeFileAtomically(const std::string& path, const std::function<void(const FilePieceSink&)>& produce,
                         std::string& error, std::uintmax_t maxBytes) {
    std::string data;
    produce([&](std::string_view piece) { data += piece; });
    if (data.size() > maxBytes) {
        error = "cannot write " + path + ": it would be more than " + std::to_string(maxBytes) +
                " bytes (the limit of a file easel reads); nothing was written";
        return false;
    }
    return writeFileAtomically(path, data, error);
}

}  // namespace easel

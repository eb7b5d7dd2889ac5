#include "run/DocumentFiles.h"

#include <ostream>
#include <utility>

#include "io/json/DocumentJson.h"
#include "io/FileWrite.h"
#include "io/svg/SvgExport.h"
#include "io/svg/SvgImport.h"
#include "core/Input.h"
#include "core/MappedInput.h"
#include "model/Document.h"

namespace easel::run {

namespace fs = std::filesystem;

std::string lowerExtension(const fs::path& p) {
    std::string e = p.extension().string();
    for (char& c : e) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return e;
}

bool isSvgPath(const fs::path& p) { return lowerExtension(p) == ".svg"; }

bool readDocumentFile(const fs::path& path, std::unique_ptr<Document>& doc, std::string& error, std::ostream& err) {
    SvgReport report;
    auto noted = [&] {
        for (const std::string& n : report.notes) err << "easel: " << path.string() << ": " << n << "\n";
        return true;
    };
    // A plain drawing streams in from the disk; any other SVG file is read
    // whole (and not streamed a second time).
    if (isSvgPath(path) && readSvgFileStreamed(path, doc, report)) return noted();
    if (!isSvgPath(path)) {
        try {
            const MappedInput file(path);
            return readDocumentJson(file.text(), doc, error);
        } catch (const InputError& e) {
            error = e.what();
            return false;
        }
    }
    std::string text;
    try {
        text = readInputFile(path);
    } catch (const InputError& e) {
        error = e.what();
        return false;
    }
    SvgLimits whole;
    whole.stream = false;
    return readSvg(std::move(text), doc, report, error, whole) && noted();
}

bool writeDocumentFile(const fs::path& path, const Document& doc, std::string& error) {
    if (isSvgPath(path)) {
        const std::string text = writeSvg(doc);
        if (text.empty()) {  // a build without SVG (Windows)
            error = "cannot write " + path.string() + ": this build of easel writes .json documents only";
            return false;
        }
        return writeFileAtomically(path.string(), [&](const FilePieceSink& sink) { sink(text); }, error, kMaxFileBytes);
    }
    // Streamed: the text is never held whole in memory. Either way a document
    // larger than easel reads is not written.
    return writeFileAtomically(
        path.string(), [&](const FilePieceSink& sink) { writeDocumentJson(doc, sink); }, error, kMaxFileBytes);
}

}  // namespace easel::run

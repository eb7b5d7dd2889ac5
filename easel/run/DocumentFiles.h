// Document files by extension: .svg is SVG, anything else the JSON file.
// Shared by the program's commands, script steps and the studio.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <memory>
#include <string>

namespace easel {
class Document;
}

namespace easel::run {

// The file name's extension in lower case, with its dot (".svg").
std::string lowerExtension(const std::filesystem::path& p);
bool isSvgPath(const std::filesystem::path& p);
// Reading SVG prints what the import could not keep to `err`. Writing goes
// through a temporary file, so a failure leaves no partial file.
bool readDocumentFile(const std::filesystem::path& path, std::unique_ptr<Document>& doc, std::string& error,
                      std::ostream& err);
bool writeDocumentFile(const std::filesystem::path& path, const Document& doc, std::string& error);

}  // namespace easel::run

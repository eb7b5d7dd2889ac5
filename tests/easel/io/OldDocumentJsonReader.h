// The tree-based document file reader the fast one replaced.
#pragma once

#include <memory>
#include <string>

#include "model/Document.h"

namespace easel::reference {

bool oldReadDocumentJson(const std::string& text, std::unique_ptr<Document>& out, std::string& error);

}  // namespace easel::reference

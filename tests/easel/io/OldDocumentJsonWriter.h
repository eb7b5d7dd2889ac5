// The tree-based document file writer the streaming one replaced.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "model/Document.h"

namespace easel::reference {

std::string oldWriteDocumentJson(const Document& doc);
// A number as the old writer put it in its tree.
nlohmann::ordered_json jsonNumber(float v);

}  // namespace easel::reference

// The AI suites easel answers over its document model: art, paths, styles,
// undo, matching art, transforms, tags, random numbers, real maths, swatches,
// shapes, documents, envelopes, layers, tools, memory, user utilities and
// preferences. Include as "suites/RegisterAISuites.h".
#pragma once

#include <cstddef>

#include "host/ASTypes.h"
#include "core/SuiteRegistry.h"

namespace easel {

// Adds every AI suite but AI Plugin to registry, at the names and versions
// of host/AISuites.h. The tables are static: registering twice is harmless.
void registerAISuites(SuiteRegistry& registry);

// Memory blocks as plug-ins see them (AI MdMemory): a handle is a pointer to
// the block pointer. The host uses these for arrays it hands out.
AIMdMemoryHandle newMemoryHandle(std::size_t size);  // zero-filled; nullptr when out of memory
bool isLiveMemoryHandle(AIMdMemoryHandle handle);
std::size_t liveMemoryHandles();  // handles not yet disposed (leak checks in tests)

}  // namespace easel

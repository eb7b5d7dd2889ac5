// AI MdMemory: relocatable blocks. A handle points at the block pointer, so
// a caller reads element i of an array handle h as (*h)[i]. Every live handle
// is recorded, so a foreign or already freed handle is refused instead of
// corrupting the heap.
#include <cstdlib>
#include <cstring>
#include <new>
#include <unordered_map>

#include "SuiteTables.h"
#include "suites/RegisterAISuites.h"

namespace easel {
namespace {

struct Block {
    void* data = nullptr;  // first member: the handle is the address of this pointer
    std::size_t size = 0;
};

std::unordered_map<void*, Block*>& handleTable() {
    static std::unordered_map<void*, Block*> blocks;
    return blocks;
}

Block* blockOf(AIMdMemoryHandle handle) {
    if (handle == nullptr) return nullptr;
    auto& blocks = handleTable();
    auto it = blocks.find(static_cast<void*>(handle));
    return it == blocks.end() ? nullptr : it->second;
}

AIMdMemoryHandle handleOf(Block* b) { return reinterpret_cast<AIMdMemoryHandle>(&b->data); }

ASErr newHandle(size_t size, AIMdMemoryHandle* handle) {
    if (handle == nullptr) return kBadParameterErr;
    *handle = newMemoryHandle(size);
    return *handle ? kNoErr : kOutOfMemoryErr;
}

ASErr disposeHandle(AIMdMemoryHandle handle) {
    Block* b = blockOf(handle);
    if (b == nullptr) return kBadParameterErr;
    handleTable().erase(static_cast<void*>(handle));
    std::free(b->data);
    delete b;
    return kNoErr;
}

ASErr getSize(AIMdMemoryHandle handle, size_t* size) {
    Block* b = blockOf(handle);
    if (b == nullptr || size == nullptr) return kBadParameterErr;
    *size = b->size;
    return kNoErr;
}

ASErr resize(AIMdMemoryHandle handle, size_t newSize) {
    Block* b = blockOf(handle);
    if (b == nullptr) return kBadParameterErr;
    void* grown = std::realloc(b->data, newSize == 0 ? 1 : newSize);
    if (grown == nullptr) return kOutOfMemoryErr;
    if (newSize > b->size) std::memset(static_cast<char*>(grown) + b->size, 0, newSize - b->size);
    b->data = grown;
    b->size = newSize;
    return kNoErr;
}

const AIMdMemorySuite kSuite = {newHandle, disposeHandle, getSize, resize};

}  // namespace

AIMdMemoryHandle newMemoryHandle(std::size_t size) {
    void* data = std::calloc(size == 0 ? 1 : size, 1);
    if (data == nullptr) return nullptr;
    auto* b = new (std::nothrow) Block{data, size};
    if (b == nullptr) {
        std::free(data);
        return nullptr;
    }
    AIMdMemoryHandle h = handleOf(b);
    handleTable().emplace(static_cast<void*>(h), b);
    return h;
}

bool isLiveMemoryHandle(AIMdMemoryHandle handle) { return blockOf(handle) != nullptr; }

std::size_t liveMemoryHandles() { return handleTable().size(); }

const AIMdMemorySuite* suites::mdMemorySuite() { return &kSuite; }

}  // namespace easel

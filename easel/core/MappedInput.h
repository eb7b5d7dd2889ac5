// A file from outside read once, in place: a regular file is mapped rather
// than copied, so a large document is parsed straight from the system's file
// cache; anything else (a pipe, a system without mapping) is read into
// memory as readInputFile reads it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace easel {

class MappedInput {
public:
    // Refused (InputError, as readInputFile refuses) when the file cannot be
    // read or is larger than kMaxFileBytes.
    explicit MappedInput(const std::filesystem::path& path);
    ~MappedInput();
    MappedInput(const MappedInput&) = delete;
    MappedInput& operator=(const MappedInput&) = delete;

    std::string_view text() const { return map_ ? std::string_view(map_, size_) : std::string_view(copy_); }

    // A mapped file that another program cuts short while it is read ends
    // the process with a message naming the file. A process that must
    // outlive any file it reads (the studio) calls this once to copy every file.
    static void copyOnly();

private:
    const char* map_ = nullptr;
    std::size_t size_ = 0;
    std::string copy_;
};

}  // namespace easel

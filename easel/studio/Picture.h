// The picture as the page gets it: each distinct geometry once, and per
// object only what differs (transform, style, opacity, blend), as typed
// arrays, sent as the changes since the picture the page already has.
// docs/formats.md describes the layout.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace easel {
class Document;
struct PathGeometry;
}

namespace easel::studio {

struct PictureScratch;

class PictureStream {
public:
    PictureStream();
    ~PictureStream();
    PictureStream(const PictureStream&) = delete;
    PictureStream& operator=(const PictureStream&) = delete;

    // The picture of doc: when `have` is the version this stream sent last,
    // only what changed since; otherwise all of it. Each picture has a new version.
    std::string write(const Document& doc, uint64_t have);
    uint64_t version() const { return version_; }

private:
    struct Sent {
        int64_t id;
    };
    struct Geom {
        uint32_t id;
        uint64_t used;  // the version that last drew it
        std::shared_ptr<const PathGeometry> hold;  // keeps the key's address from being reused
    };
    uint64_t version_ = 0;
    uint32_t nextId_ = 1;
    std::vector<Sent> objects_;
    std::unordered_map<const void*, Geom> shared_;       // path geometry, by its shared data (open)
    std::unordered_map<const void*, Geom> sharedClosed_;  // the same, closed
    std::unordered_map<std::string, Geom> derived_;      // warped paths, compound outlines, boxes: by path data
    std::unordered_map<std::string, uint32_t> styles_;   // by their JSON text
    // The working arrays of a write, kept for the next one: a drag event
    // changes every object, and arrays of that size allocated afresh for
    // each pointer move cost the process page faults.
    std::unique_ptr<PictureScratch> scratch_;
    friend struct PictureWriter;
    friend struct PictureScratch;
};

}  // namespace easel::studio

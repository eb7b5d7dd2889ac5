// The picture's columns: uniform ones packed into the header, the rest laid
// out for the page.
#include "studio/PictureColumns.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "io/json/JsonOut.h"

namespace easel::studio {

namespace {

template <typename T>
void appendArray(std::string& out, const std::vector<T>& v) {
    while (out.size() % 8) out += '\0';
    out.append(reinterpret_cast<const char*>(v.data()), v.size() * sizeof(T));
}

}  // namespace

std::string exactNumber(float v) {
    char buf[40];
    return std::string(buf, formatJsonNumber(v, buf));
}

std::string packUniform(std::vector<double>& ids, std::vector<uint8_t>& flags, std::vector<uint32_t>& counts,
                        std::vector<float>& mats, std::vector<uint32_t>& geom, std::vector<uint32_t>& style,
                        std::vector<float>& opacity, std::vector<uint8_t>& blend) {
    std::string same;
    auto sameAs = [&same](const char* name, const std::string& value) {
        same += same.empty() ? "{\"" : ",\"";
        same += name;
        same += "\":" + value;
    };
    auto packed = [&](const char* name, auto& column) {
        if (column.empty() || std::any_of(column.begin(), column.end(), [&](auto v) { return v != column[0]; })) return;
        if constexpr (std::is_floating_point_v<std::decay_t<decltype(column[0])>>) {
            if (!std::isfinite(column[0])) return;  // JSON has no text for it: the column stays
            sameAs(name, exactNumber(column[0]));
        } else {
            sameAs(name, std::to_string(column[0]));
        }
        column.clear();
    };
    packed("flags", flags);
    packed("counts", counts);
    packed("geom", geom);
    packed("style", style);
    packed("opacity", opacity);
    packed("blend", blend);
    if (!mats.empty()) {
        bool linear = std::all_of(mats.begin(), mats.begin() + 4, [](float v) { return std::isfinite(v); });
        for (size_t k = 6; k < mats.size() && linear; k += 6) linear = std::equal(mats.begin(), mats.begin() + 4, mats.begin() + k);
        if (linear) {
            sameAs("linear", '[' + exactNumber(mats[0]) + ',' + exactNumber(mats[1]) + ',' + exactNumber(mats[2]) + ',' +
                                 exactNumber(mats[3]) + ']');
            size_t to = 0;
            for (size_t k = 0; k < mats.size(); k += 6) mats[to++] = mats[k + 4], mats[to++] = mats[k + 5];
            mats.resize(to);
        }
    }
    if (!ids.empty()) {
        const double step = ids.size() > 1 ? ids[1] - ids[0] : 1;
        bool progression = true;
        for (size_t k = 1; k < ids.size() && progression; ++k) progression = ids[k] == ids[0] + static_cast<double>(k) * step;
        if (progression) {
            sameAs("ids", '[' + std::to_string(static_cast<int64_t>(ids[0])) + ',' + std::to_string(static_cast<int64_t>(step)) + ']');
            ids.clear();
        }
    }
    if (!same.empty()) same += '}';
    return same;
}

std::string pictureBytes(const std::string& head, const std::vector<int32_t>& runs, const PictureColumns& c) {
    std::string out;
    out.reserve(head.size() + 64 + runs.size() * 4 + c.ids.size() * 8 +
                (c.bounds.size() + c.mats.size() + c.opacity.size()) * 4 + c.flags.size() + c.blend.size() +
                (c.counts.size() + c.geom.size() + c.style.size()) * 4);
    const uint32_t n = static_cast<uint32_t>(head.size());
    out.append(reinterpret_cast<const char*>(&n), 4);
    out += head;
    appendArray(out, runs);
    appendArray(out, c.ids);
    appendArray(out, c.bounds);
    appendArray(out, c.flags);
    appendArray(out, c.counts);
    appendArray(out, c.mats);
    appendArray(out, c.geom);
    appendArray(out, c.style);
    appendArray(out, c.opacity);
    appendArray(out, c.blend);
    return out;
}

}  // namespace easel::studio

// A small map from strings to strings kept as one sorted vector: what an
// element's attributes and CSS properties are. An element has a dozen of
// them at most, and its properties are copied from its parent's, so one
// allocation for all of them (and short strings kept in place) beats a node
// per entry. It answers as std::map does, in key order; unlike std::map's,
// its iterators do not survive an insertion or an erasure.
#pragma once

#include <algorithm>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace easel::svg {

class StringMap {
public:
    using value_type = std::pair<std::string, std::string>;
    using iterator = std::vector<value_type>::iterator;
    using const_iterator = std::vector<value_type>::const_iterator;

    StringMap() = default;
    // As std::map takes a list: the first of two equal keys stays.
    StringMap(std::initializer_list<value_type> items) {
        for (const value_type& kv : items) emplace(kv.first, kv.second);
    }

    iterator begin() { return items_.begin(); }
    iterator end() { return items_.end(); }
    const_iterator begin() const { return items_.begin(); }
    const_iterator end() const { return items_.end(); }
    size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    void clear() { items_.clear(); }
    void reserve(size_t n) { items_.reserve(n); }

    // Appends `key` and `value`: the caller gives keys in increasing order
    // (from another map, or merging two), so the map stays sorted.
    void appendSorted(std::string key, std::string value) { items_.emplace_back(std::move(key), std::move(value)); }

    iterator find(std::string_view key) {
        // A dozen entries at most: comparing sizes first skips most of them
        // faster than halving the range with full comparisons.
        if (items_.size() <= kLinearFind) {
            for (auto it = items_.begin(); it != items_.end(); ++it)
                if (it->first.size() == key.size() && std::string_view(it->first) == key) return it;
            return items_.end();
        }
        auto it = lowerBound(key);
        return it != items_.end() && it->first == key ? it : items_.end();
    }
    const_iterator find(std::string_view key) const { return const_iterator(const_cast<StringMap*>(this)->find(key)); }
    size_t count(std::string_view key) const { return find(key) != end() ? 1 : 0; }
    bool contains(std::string_view key) const { return find(key) != end(); }
    // The value of `key`, which the map must have (std::out_of_range otherwise).
    const std::string& at(std::string_view key) const {
        auto it = find(key);
        if (it == end()) throw std::out_of_range("no " + std::string(key));
        return it->second;
    }

    // The value of `key`, added empty when it is missing.
    std::string& operator[](std::string_view key) {
        auto it = lowerBound(key);
        if (it == items_.end() || it->first != key) it = items_.emplace(it, std::string(key), std::string());
        return it->second;
    }
    // Adds `key` with `value` unless the map has it; where it is, and whether it was added.
    template <class K, class V>
    std::pair<iterator, bool> emplace(K&& key, V&& value) {
        const std::string_view k(key);
        auto it = lowerBound(k);
        if (it != items_.end() && it->first == k) return {it, false};
        return {items_.emplace(it, std::forward<K>(key), std::forward<V>(value)), true};
    }
    std::pair<iterator, bool> insert(value_type kv) { return emplace(std::move(kv.first), std::move(kv.second)); }
    template <class K, class V>
    std::pair<iterator, bool> insert_or_assign(K&& key, V&& value) {
        auto [it, added] = emplace(std::forward<K>(key), std::string());
        it->second = std::forward<V>(value);
        return {it, added};
    }
    size_t erase(std::string_view key) {
        auto it = find(key);
        if (it == items_.end()) return 0;
        items_.erase(it);
        return 1;
    }
    iterator erase(const_iterator it) { return items_.erase(it); }

    bool operator==(const StringMap& o) const { return items_ == o.items_; }

private:
    static constexpr size_t kLinearFind = 16;
    iterator lowerBound(std::string_view key) {
        return std::lower_bound(items_.begin(), items_.end(), key,
                                [](const value_type& e, std::string_view k) { return std::string_view(e.first) < k; });
    }

    std::vector<value_type> items_;
};

}  // namespace easel::svg

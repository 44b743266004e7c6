#pragma once
// The four most recently loaded or saved source files, newest first.
#include <string>
#include <vector>

namespace velmorin {

class RecentFileList {
public:
    static constexpr int Capacity = 4;

    // Puts `path` first; an entry already in the list moves up instead of
    // appearing twice, and the oldest falls off when the list is full.
    void Add(const std::string& path);
    // Replaces the list, e.g. from the settings store: empty entries and
    // repeats are dropped, at most Capacity are kept.
    void Assign(const std::vector<std::string>& paths);
    // Drops `path`; the entries after it move up.
    void Remove(const std::string& path);
    void Clear() { entries_.clear(); }

    const std::vector<std::string>& entries() const { return entries_; }
    bool empty() const { return entries_.empty(); }
    int size() const { return static_cast<int>(entries_.size()); }

private:
    std::vector<std::string> entries_;
};

}  // namespace velmorin

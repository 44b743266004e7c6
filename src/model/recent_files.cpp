#include "model/recent_files.h"

#include <algorithm>

namespace velmorin {

void RecentFileList::Add(const std::string& path) {
    if (path.empty()) return;
    std::erase(entries_, path);
    entries_.insert(entries_.begin(), path);
    if (entries_.size() > static_cast<size_t>(Capacity)) entries_.resize(Capacity);
}

void RecentFileList::Remove(const std::string& path) { std::erase(entries_, path); }

void RecentFileList::Assign(const std::vector<std::string>& paths) {
    entries_.clear();
    for (const auto& path : paths) {
        if (path.empty() || std::find(entries_.begin(), entries_.end(), path) != entries_.end()) continue;
        entries_.push_back(path);
        if (entries_.size() == static_cast<size_t>(Capacity)) break;
    }
}

}  // namespace velmorin

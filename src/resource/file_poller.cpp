#include "resource/file_poller.h"

void CFilePoller::SetFiles(const std::vector<std::string>& files) {
    std::unordered_map<std::string, Watched> kept;
    std::vector<std::string> order;
    waiting_ = 0;
    for (const std::string& path : files) {
        if (kept.count(path)) continue;
        auto old = files_.find(path);
        Watched file;
        if (old != files_.end()) {
            file = old->second;
        } else {
            file.exists = StampInputFile(path, file.stamp);
        }
        if (file.changed) ++waiting_;
        kept.emplace(path, file);
        order.push_back(path);
    }
    files_ = std::move(kept);
    order_ = std::move(order);
    if (next_ >= order_.size()) next_ = 0;
}

bool CFilePoller::Look(Watched& file, const std::string& path, std::uint32_t now) {
    FileStamp stamp;
    const bool exists = StampInputFile(path, stamp);
    if (exists != file.exists || (exists && !(stamp == file.stamp))) {
        if (!file.changed) ++waiting_;
        file.exists = exists;
        file.stamp = stamp;
        file.changed = true;
        file.since = now;
        return false;
    }
    if (!file.changed || now - file.since < kQuietMs) return false;
    file.changed = false;
    --waiting_;
    // A file that went away is not reloaded: what was loaded from it stays.
    return file.exists;
}

std::vector<std::string> CFilePoller::Poll(std::uint32_t now, std::size_t slice) {
    std::vector<std::string> ready;
    roundDone_ = false;
    if (order_.empty()) {
        roundDone_ = true;
        return ready;
    }
    std::vector<bool> looked(order_.size(), false);
    if (waiting_ > 0)
        for (std::size_t i = 0; i < order_.size(); ++i) {
            Watched& file = files_[order_[i]];
            if (!file.changed) continue;
            looked[i] = true;
            if (Look(file, order_[i], now)) ready.push_back(order_[i]);
        }
    for (std::size_t n = 0; n < slice && n < order_.size(); ++n) {
        const std::size_t i = next_;
        next_ = (next_ + 1) % order_.size();
        if (next_ == 0) roundDone_ = true;
        if (looked[i]) continue;
        if (Look(files_[order_[i]], order_[i], now)) ready.push_back(order_[i]);
    }
    return ready;
}

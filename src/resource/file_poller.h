// Notices changed files by polling: each call stats a slice of the watched files (a stat is cheap, and a
// slice keeps a frame's share small however many files there are), plus every file seen changing and not
// yet quiet. A file is reported once it has changed and then kept the same size and modification time for
// the quiet time, so a file still being written is not read half done. Polling needs nothing of the
// system's change notices and works the same on every platform and file system.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/file_bytes.h"
#include <cstdint>

class CFilePoller {
public:
    static constexpr std::uint32_t kQuietMs = 300;

    // The files to watch. A file new to the list is taken as it is now; one already watched keeps what was
    // seen of it, so a change noticed before stays noticed.
    void SetFiles(const std::vector<std::string>& files);
    // Stats up to `slice` files in turn and every file waiting to be quiet; gives the files that changed
    // and have been quiet since, each once per change. `now` in milliseconds (it may wrap).
    std::vector<std::string> Poll(std::uint32_t now, std::size_t slice);
    // True when the last Poll reached the end of the list (a whole round has been looked at).
    bool RoundDone() const { return roundDone_; }
    std::size_t Size() const { return order_.size(); }
    // True while a changed file waits to be quiet: the caller should poll again soon.
    bool IsWaiting() const { return waiting_ > 0; }

private:
    struct Watched {
        bool exists = false;
        FileStamp stamp;
        bool changed = false;  // differs from what was last reported, waiting to be quiet
        std::uint32_t since = 0;       // when it last differed from the poll before
    };
    // Stats one file; true when it has been quiet long enough after a change.
    bool Look(Watched& file, const std::string& path, std::uint32_t now);

    std::vector<std::string> order_;
    std::unordered_map<std::string, Watched> files_;
    std::size_t next_ = 0;
    std::size_t waiting_ = 0;
    bool roundDone_ = false;
};

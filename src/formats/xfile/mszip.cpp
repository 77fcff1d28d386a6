#include "formats/xfile/mszip.h"

#include <zlib.h>

#include <cstdint>
#include <cstring>

namespace {

constexpr std::size_t kHeaderSize = 16;
constexpr std::size_t kBlockSize = 32768;  // plain bytes per block at most

std::uint16_t Word(const std::string& s, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8);
}

// One inflate stream for the whole file, reset between blocks.
class Inflater {
public:
    Inflater() { ok_ = inflateInit2(&stream_, -MAX_WBITS) == Z_OK; }
    ~Inflater() {
        if (ok_) inflateEnd(&stream_);
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    bool Block(const char* in, std::size_t size, const std::string& dictionary, unsigned char* out,
               std::size_t& produced) {
        if (!ok_ || inflateReset(&stream_) != Z_OK) return false;
        if (!dictionary.empty()) {
            std::size_t keep = dictionary.size() < kBlockSize ? dictionary.size() : kBlockSize;
            const auto* start = reinterpret_cast<const Bytef*>(dictionary.data() + dictionary.size() - keep);
            if (inflateSetDictionary(&stream_, start, static_cast<uInt>(keep)) != Z_OK) return false;
        }
        stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in));
        stream_.avail_in = static_cast<uInt>(size);
        stream_.next_out = out;
        stream_.avail_out = static_cast<uInt>(kBlockSize);
        int result = inflate(&stream_, Z_SYNC_FLUSH);
        if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) return false;
        produced = kBlockSize - stream_.avail_out;
        return true;
    }

    bool Ok() const { return ok_; }

private:
    z_stream stream_{};
    bool ok_ = false;
};

}  // namespace

Result<std::string> InflateMsZip(const std::string& data, std::size_t limit) {
    Inflater inflater;
    if (!inflater.Ok()) {
        return Failure("cannot start decompression");
    }
    std::size_t at = kHeaderSize + 4;  // the total size is not trusted; the blocks say what they hold
    if (data.size() < at) {
        return Failure("the compressed data is cut short");
    }
    std::string out;
    unsigned char block[kBlockSize];
    std::size_t index = 0;
    while (at < data.size()) {
        if (data.size() - at < 6) {
            return Failure("compressed block " + std::to_string(index) + " is cut short");
        }
        const std::size_t plain = Word(data, at), packed = Word(data, at + 2);
        if (packed < 2 || packed > data.size() - at - 4 || data.compare(at + 4, 2, "CK") != 0) {
            return Failure("compressed block " + std::to_string(index) + " is damaged");
        }
        std::size_t produced = 0;
        if (!inflater.Block(data.data() + at + 6, packed - 2, out, block, produced) || produced != plain) {
            return Failure("compressed block " + std::to_string(index) + " does not inflate to its size");
        }
        if (out.size() + produced > limit) {
            return Failure("the decompressed data is larger than " + std::to_string(limit) + " bytes");
        }
        out.append(reinterpret_cast<const char*>(block), produced);
        at += 4 + packed;
        ++index;
    }
    return out;
}

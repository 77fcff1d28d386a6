#include "stagefile/descriptor_stream.h"

#include <unistd.h>

#include <cerrno>

bool WriteAll(int fd, const char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        auto n = ::write(fd, data + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool WriteAll(int fd, const std::string& bytes) { return WriteAll(fd, bytes.data(), bytes.size()); }

DescriptorBuffer::DescriptorBuffer(int fd) : fd_(fd), buffer_(std::size_t{1} << 16) {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
}

DescriptorBuffer::int_type DescriptorBuffer::overflow(int_type c) {
    if (!Drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int DescriptorBuffer::sync() { return Drain() ? 0 : -1; }

bool DescriptorBuffer::Drain() {
    if (error_) return false;
    const std::size_t size = static_cast<std::size_t>(pptr() - pbase());
    if (size > 0 && !WriteAll(fd_, pbase(), size)) {
        error_ = errno ? errno : EIO;
        return false;
    }
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return true;
}

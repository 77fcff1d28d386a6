// Writing a stream into a file opened as a descriptor, so that a save can write into the very file it
// created (exclusively) rather than into whatever its name means by the time a stream opens it.
#pragma once

#include <streambuf>
#include <string>
#include <vector>

// Writes all of `bytes` to `fd`, going on after interrupted calls; false with errno set when it cannot.
bool WriteAll(int fd, const std::string& bytes);
bool WriteAll(int fd, const char* data, std::size_t size);

// A stream buffer that writes to a descriptor it does not own. A write that fails makes the stream fail;
// Error() is the system's errno of the first failure.
class DescriptorBuffer : public std::streambuf {
public:
    explicit DescriptorBuffer(int fd);
    int Error() const { return error_; }

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    bool Drain();

    int fd_;
    int error_ = 0;
    std::vector<char> buffer_;
};

#include "platform/BinaryStream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mutaro {

BinaryStream::~BinaryStream() { Close(); }

bool BinaryStream::Open(const std::string& name) {
    Close();
    int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat info {};
    // A stream opens a directory on Linux and only its reads fail; a FIFO has no size.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    fd_ = fd;
    if (!buffer_) buffer_ = std::make_unique<std::uint8_t[]>(kBufferSize);
    cursor_ = filled_ = 0;
    bufferStart_ = 0;
    return true;
}

void BinaryStream::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    cursor_ = filled_ = 0;
    bufferStart_ = 0;
}

bool BinaryStream::Refill() {
    if (fd_ < 0) return false;
    bufferStart_ += filled_;
    cursor_ = filled_ = 0;
    for (;;) {
        ssize_t got = ::read(fd_, buffer_.get(), kBufferSize);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        filled_ = static_cast<std::size_t>(got);
        return true;
    }
}

std::size_t BinaryStream::Read(void* destination, std::size_t count) {
    auto* out = static_cast<std::uint8_t*>(destination);
    std::size_t done = 0;
    while (done < count) {
        if (cursor_ == filled_ && !Refill()) break;
        std::size_t take = std::min(count - done, filled_ - cursor_);
        std::memcpy(out + done, buffer_.get() + cursor_, take);
        cursor_ += take;
        done += take;
    }
    return done;
}

bool BinaryStream::Skip(std::int64_t delta) {
    std::int64_t target = static_cast<std::int64_t>(cursor_) + delta;
    if (target >= 0 && target <= static_cast<std::int64_t>(filled_)) {
        cursor_ = static_cast<std::size_t>(target);
        return true;
    }
    std::int64_t absolute = static_cast<std::int64_t>(Position()) + delta;
    if (absolute < 0) return false;
    return Seek(static_cast<std::uint64_t>(absolute));
}

bool BinaryStream::Seek(std::uint64_t position) {
    if (fd_ < 0) return false;
    if (position >= bufferStart_ && position <= bufferStart_ + filled_) {
        cursor_ = static_cast<std::size_t>(position - bufferStart_);
        return true;
    }
    if (::lseek(fd_, static_cast<off_t>(position), SEEK_SET) < 0) return false;
    bufferStart_ = position;
    cursor_ = filled_ = 0;
    return true;
}

} // namespace mutaro

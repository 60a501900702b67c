#include "platform/OutputFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace mutaro {

OutputFile::~OutputFile() { Close(); }

bool OutputFile::Open(const std::string& name, Mode mode) {
    Close();
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    fd_ = fd;
    mode_ = mode;
    failed_ = false;
    used_ = 0;
    if (!buffer_) buffer_ = std::make_unique<char[]>(kBufferSize);
    return true;
}

bool OutputFile::Close() {
    if (fd_ < 0) return !failed_;
    Flush();
    if (::close(fd_) != 0) failed_ = true;
    fd_ = -1;
    return !failed_;
}

void OutputFile::Write(const char* bytes, std::size_t count) {
    if (fd_ < 0) return;
    if (mode_ == Mode::Binary) {
        PutRaw(bytes, count);
        return;
    }
    while (count > 0) {
        const void* found = std::memchr(bytes, '\n', count);
        if (found == nullptr) {
            PutRaw(bytes, count);
            return;
        }
        std::size_t before = static_cast<std::size_t>(static_cast<const char*>(found) - bytes);
        PutRaw(bytes, before);
        PutRaw("\r\n", 2);
        bytes += before + 1;
        count -= before + 1;
    }
}

void OutputFile::PutRaw(const char* bytes, std::size_t count) {
    if (count >= kBufferSize) {
        Flush();
        while (count > 0 && !failed_) {
            ssize_t put = ::write(fd_, bytes, count);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) {
                failed_ = true;
                return;
            }
            bytes += put;
            count -= static_cast<std::size_t>(put);
        }
        return;
    }
    if (used_ + count > kBufferSize) Flush();
    std::memcpy(buffer_.get() + used_, bytes, count);
    used_ += count;
}

void OutputFile::Flush() {
    std::size_t done = 0;
    while (done < used_ && !failed_) {
        ssize_t put = ::write(fd_, buffer_.get() + done, used_ - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            failed_ = true;
            break;
        }
        done += static_cast<std::size_t>(put);
    }
    used_ = 0;
}

TextLineReader::~TextLineReader() { Close(); }

bool TextLineReader::Open(const std::string& name) {
    Close();
    fd_ = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) return false;
    if (!buffer_) buffer_ = std::make_unique<char[]>(kBufferSize);
    cursor_ = filled_ = 0;
    return true;
}

void TextLineReader::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

int TextLineReader::Peek() {
    if (cursor_ == filled_) {
        if (fd_ < 0) return -1;
        ssize_t got;
        do got = ::read(fd_, buffer_.get(), kBufferSize);
        while (got < 0 && errno == EINTR);
        if (got <= 0) return -1;
        cursor_ = 0;
        filled_ = static_cast<std::size_t>(got);
    }
    return static_cast<unsigned char>(buffer_[cursor_]);
}

int TextLineReader::Next() {
    int c = Peek();
    if (c >= 0) ++cursor_;
    return c;
}

bool TextLineReader::ReadLine(std::string& line, std::size_t limit) {
    line.clear();
    while (line.size() < limit) {
        int c = Next();
        if (c < 0) break;
        if (c == '\r' && Peek() == '\n') c = Next();
        line.push_back(static_cast<char>(c));
        if (c == '\n') break;
    }
    return !line.empty();
}

} // namespace mutaro

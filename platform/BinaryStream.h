#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace mutaro {

// Buffered sequential reading of a log, with the short backward steps resynchronisation needs.
class BinaryStream {
public:
    BinaryStream() = default;
    ~BinaryStream();
    BinaryStream(const BinaryStream&) = delete;
    BinaryStream& operator=(const BinaryStream&) = delete;

    // Opens a regular file for reading; a directory, FIFO or device is refused.
    bool Open(const std::string& name);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

    // Reads up to `count` bytes; returns how many were read (fewer only at the end or on an error).
    std::size_t Read(void* destination, std::size_t count);
    // Reads exactly `count` bytes or reports failure; on failure the bytes read so far are consumed.
    bool ReadExact(void* destination, std::size_t count) { return Read(destination, count) == count; }
    // Moves the position by `delta` bytes (negative steps back); false when that is impossible.
    bool Skip(std::int64_t delta);
    bool Rewind() { return Seek(0); }
    bool Seek(std::uint64_t position);
    std::uint64_t Position() const { return bufferStart_ + cursor_; }

private:
    bool Refill();

    static constexpr std::size_t kBufferSize = 1 << 18;
    int fd_ = -1;
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t cursor_ = 0;       // next byte in the buffer
    std::size_t filled_ = 0;       // valid bytes in the buffer
    std::uint64_t bufferStart_ = 0; // file position of buffer byte 0
};

} // namespace mutaro

#pragma once

#include <cstdarg>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace mutaro {

// An output text of fixed capacity that carries its length, so a zero byte inside it (the "Other"
// delimiter with an empty text) is written like any other byte. Appending past the capacity cuts
// the text there; nothing is ever written outside the storage.
class TextBuffer {
public:
    explicit TextBuffer(std::size_t capacity)
        : storage_(std::make_unique<char[]>(capacity + 1)), capacity_(capacity) {
        storage_[0] = '\0';
    }
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;

    void clear() {
        length_ = 0;
        storage_[0] = '\0';
    }
    bool empty() const { return length_ == 0; }
    std::size_t size() const { return length_; }
    std::size_t capacity() const { return capacity_; }
    const char* data() const { return storage_.get(); }
    std::string_view view() const { return {storage_.get(), length_}; }
    std::string str() const { return std::string(view()); }

    // One raw byte, a zero byte included.
    void append(char c) {
        if (length_ < capacity_) {
            storage_[length_++] = c;
            storage_[length_] = '\0';
        }
    }
    void append(std::string_view text);
    // printf-style; the formatted piece ends at its first zero byte as a C string would, so "%c"
    // of a zero byte adds nothing.
    void appendf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void assignf(const char* format, ...) __attribute__((format(printf, 2, 3)));

private:
    void vappendf(const char* format, va_list args);

    std::unique_ptr<char[]> storage_;
    std::size_t capacity_;
    std::size_t length_ = 0;
};

} // namespace mutaro

#include "core/TextBuffer.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <algorithm>

namespace mutaro {

void TextBuffer::append(std::string_view text) {
    std::size_t take = std::min(text.size(), capacity_ - length_);
    std::memcpy(storage_.get() + length_, text.data(), take);
    length_ += take;
    storage_[length_] = '\0';
}

void TextBuffer::vappendf(const char* format, va_list args) {
    std::size_t room = capacity_ - length_;
    // vsnprintf writes at most room characters and a terminator, which the extra byte holds.
    std::vsnprintf(storage_.get() + length_, room + 1, format, args);
    length_ += std::strlen(storage_.get() + length_);
}

void TextBuffer::appendf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vappendf(format, args);
    va_end(args);
}

void TextBuffer::assignf(const char* format, ...) {
    clear();
    va_list args;
    va_start(args, format);
    vappendf(format, args);
    va_end(args);
}

} // namespace mutaro

#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace mutaro {

// Buffered output. Text mode stores every line feed as carriage return and line feed, as the
// import tools expect; binary mode stores every byte as it is.
class OutputFile {
public:
    enum class Mode { Text, Binary };

    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates or truncates the file.
    bool Open(const std::string& name, Mode mode);
    // Flushes and closes; false when any write failed.
    bool Close();
    bool IsOpen() const { return fd_ >= 0; }

    void Write(const char* bytes, std::size_t count);
    void Write(std::string_view text) { Write(text.data(), text.size()); }
    void Put(char c) { Write(&c, 1); }
    bool Failed() const { return failed_; }

private:
    void PutRaw(const char* bytes, std::size_t count);
    void Flush();

    static constexpr std::size_t kBufferSize = 1 << 18;
    int fd_ = -1;
    Mode mode_ = Mode::Text;
    bool failed_ = false;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
};

// Reads a file back as text mode shows it (CR LF read as one line feed), a line at a time.
class TextLineReader {
public:
    ~TextLineReader();
    bool Open(const std::string& name);
    void Close();
    // Reads one line of at most `limit` characters including its line feed; a longer line comes in
    // pieces. Returns false at the end of the file, when nothing was read.
    bool ReadLine(std::string& line, std::size_t limit);

private:
    int Next();      // next byte, -1 at the end
    int Peek();
    static constexpr std::size_t kBufferSize = 1 << 16;
    int fd_ = -1;
    std::unique_ptr<char[]> buffer_;
    std::size_t cursor_ = 0, filled_ = 0;
};

} // namespace mutaro

#pragma once
// Text-mode writer: every LF is written as CR LF, through one large buffer.
#include <cstdio>
#include <string>
#include <string_view>

namespace setup {

class TextWriter {
public:
    // Creates or truncates path ("wb" underneath).
    explicit TextWriter(const std::string& path);
    ~TextWriter();
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    // Only on an open writer, before Close().
    void Write(std::string_view text);
    // Writes what is buffered and closes; false when any byte did not reach the file.
    bool Close();

private:
    void Flush();

    std::FILE* file_ = nullptr;
    std::string buffer_;
    bool failed_ = false;
};

}  // namespace setup

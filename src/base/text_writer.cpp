#include "base/text_writer.h"

#include "base/stdio_file.h"

namespace setup {

namespace {
constexpr size_t kFlushSize = 64 * 1024;
}

TextWriter::TextWriter(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {}

TextWriter::~TextWriter() { Close(); }

void TextWriter::Write(std::string_view text) {
    for (char c : text) {
        if (c == '\n') buffer_.push_back('\r');
        buffer_.push_back(c);
    }
    if (buffer_.size() >= kFlushSize) Flush();
}

void TextWriter::Flush() {
    if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) failed_ = true;
    buffer_.clear();
}

bool TextWriter::Close() {
    if (!file_) return !failed_;
    Flush();
    if (!CloseChecked(file_)) failed_ = true;
    file_ = nullptr;
    return !failed_;
}

}  // namespace setup

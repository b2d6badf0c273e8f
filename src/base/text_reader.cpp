#include "base/text_reader.h"

namespace setup {

namespace {
constexpr size_t kBufferSize = 64 * 1024;
constexpr int kCtrlZ = 26;
}  // namespace

TextReader::TextReader(const std::string& path) : file_(std::fopen(path.c_str(), "rb")), buffer_(kBufferSize) {}

TextReader::~TextReader() { Close(); }

void TextReader::Close() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

bool TextReader::Refill() {
    if (!file_ || atEnd_ || failed_) return false;
    len_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
    pos_ = 0;
    if (len_ == 0) {
        if (std::ferror(file_))
            failed_ = true;
        else
            atEnd_ = true;
        return false;
    }
    return true;
}

// One character of the translated stream, or EOF.
int TextReader::Get() {
    if (pos_ == len_ && !Refill()) return EOF;
    int c = static_cast<unsigned char>(buffer_[pos_++]);
    if (c == kCtrlZ) {
        atEnd_ = true;
        pos_ = len_;
        return EOF;
    }
    if (c == '\r') {
        if (pos_ == len_ && !Refill()) return '\r';
        if (buffer_[pos_] == '\n') {
            ++pos_;
            return '\n';
        }
    }
    return c;
}

bool TextReader::ReadPiece(std::string& piece, size_t limit) {
    piece.clear();
    pieceLineNumber_ = linesEnded_ + 1;
    while (piece.size() < limit) {
        int c = Get();
        if (c == EOF) break;
        piece.push_back(static_cast<char>(c));
        if (c == '\n') {
            ++linesEnded_;
            break;
        }
    }
    return !piece.empty();
}

void CutLineFeed(std::string& line) {
    if (!line.empty() && line.back() == '\n') line.pop_back();
}

}  // namespace setup

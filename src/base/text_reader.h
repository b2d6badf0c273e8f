#pragma once
// Line reading with the Windows C runtime's text-mode rules on every platform:
// CR LF reads as LF, a CR not followed by LF stays, Ctrl-Z (26) ends the input.
// Lines are read in pieces of a fixed limit, like fgets with a buffer of limit + 1.
#include <cstdio>
#include <string>
#include <vector>

namespace setup {

class TextReader {
public:
    // Opens path for reading ("rb" underneath; the translation is done here).
    explicit TextReader(const std::string& path);
    ~TextReader();
    TextReader(const TextReader&) = delete;
    TextReader& operator=(const TextReader&) = delete;

    bool IsOpen() const { return file_ != nullptr; }

    // Reads the next piece: at most `limit` characters, up to and including a line feed.
    // Returns false when nothing could be read (end of input or read error).
    bool ReadPiece(std::string& piece, size_t limit);

    // The line of the file (from 1) on which the last piece read began, for messages that
    // name a line.
    size_t PieceLineNumber() const { return pieceLineNumber_; }

    bool Failed() const { return failed_; }

    void Close();

private:
    int Get();
    bool Refill();

    std::FILE* file_ = nullptr;
    std::vector<char> buffer_;
    size_t pos_ = 0;
    size_t len_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;
    size_t linesEnded_ = 0;
    size_t pieceLineNumber_ = 0;
};

// Removes one trailing line feed, if present.
void CutLineFeed(std::string& line);

}  // namespace setup

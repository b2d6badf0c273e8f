#pragma once
// A private view of the start of an open file: its bytes in memory, brought in by the system
// as the pages are first touched, several file pages around each fault at once. Reading a
// large file this way touches far fewer fresh pages than copying it into a block of its own,
// and on some hosts each first touch of a fresh page costs several microseconds. The bytes may
// be changed in memory (copy-on-write); the file never changes through the view.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>

namespace setup {

class FileView {
public:
    // A view of the first `bytes` bytes (one or more) of an open file; nothing when the file's
    // size cannot be determined or is smaller, or when the platform gives no view: a device,
    // a file on a removable or network drive (where a read that fails inside a view would end
    // the process instead of failing the read), no room in the address space.
    static std::optional<FileView> Map(std::FILE* file, std::uint64_t bytes);

    FileView(FileView&& other) noexcept;
    FileView& operator=(FileView&& other) noexcept;
    ~FileView();
    FileView(const FileView&) = delete;
    FileView& operator=(const FileView&) = delete;

    char* Data() const { return data_; }
    std::size_t Size() const { return size_; }

private:
    FileView(char* data, std::size_t size) : data_(data), size_(size) {}

    // The platform's part, one implementation per platform: a copy-on-write view of the
    // first `bytes` bytes, or nullptr; and its release.
    static char* MapPrivately(std::FILE* file, std::size_t bytes);
    static void Unmap(char* data, std::size_t bytes);

    char* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace setup

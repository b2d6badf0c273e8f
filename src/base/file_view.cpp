#include "base/file_view.h"

#include <cstdint>
#include <utility>

#include "base/stdio_file.h"

namespace setup {

std::optional<FileView> FileView::Map(std::FILE* file, std::uint64_t bytes) {
    const std::optional<std::uint64_t> size = FileSize(file);
    if (bytes == 0 || bytes > SIZE_MAX || !size || *size < bytes) return std::nullopt;
    char* const data = MapPrivately(file, static_cast<std::size_t>(bytes));
    if (!data) return std::nullopt;
    return FileView(data, static_cast<std::size_t>(bytes));
}

FileView::FileView(FileView&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

FileView& FileView::operator=(FileView&& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    return *this;
}

FileView::~FileView() {
    if (data_) Unmap(data_, size_);
}

}  // namespace setup

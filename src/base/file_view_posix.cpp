#include <sys/mman.h>

#include "base/file_view.h"

namespace setup {

char* FileView::MapPrivately(std::FILE* file, std::size_t bytes) {
    void* const data = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE, ::fileno(file), 0);
    return data == MAP_FAILED ? nullptr : static_cast<char*>(data);
}

void FileView::Unmap(char* data, std::size_t bytes) { ::munmap(data, bytes); }

}  // namespace setup

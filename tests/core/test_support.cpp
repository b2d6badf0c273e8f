#include "test_support.h"

#include <unistd.h>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace setup::test {

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    const char* base = std::getenv("SETUP_TEST_TMP");
    std::filesystem::path root = base ? std::filesystem::path(base) : std::filesystem::temp_directory_path();
    path_ = root / ("t" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace setup::test

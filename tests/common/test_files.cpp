#include "test_files.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <random>

namespace setup::test {

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    static const unsigned process = std::random_device()();  // tests run in parallel processes
    path_ = std::filesystem::temp_directory_path() /
            ("setup-test-" + std::to_string(process) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

ScopedWorkingDirectory::ScopedWorkingDirectory(const std::filesystem::path& path)
    : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(path);
}

ScopedWorkingDirectory::~ScopedWorkingDirectory() { std::filesystem::current_path(previous_); }

std::string RecordBytes(std::string_view headWord, std::string_view translations) {
    std::string record(84, '\0');
    record.replace(0, headWord.size(), headWord);
    record.replace(31, translations.size(), translations);
    return record;
}

}  // namespace setup::test

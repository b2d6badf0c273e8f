#include "fuzz_support.h"

#include <unistd.h>

#include <sys/stat.h>

#include "base/text_reader.h"

namespace setup::fuzz {

const std::string& ScratchDirectory() {
    static const std::string directory = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/setup-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        return pattern;
    }();
    return directory;
}

std::string ScratchFile(const std::string& name) { return ScratchDirectory() + "/" + name; }

DictIniPaths ScratchDictIni() { return {ScratchFile("dict.ini"), ScratchFile("tmp.ini")}; }

void WriteBytes(const std::string& path, std::string_view bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(file != nullptr);
    FUZZ_CHECK(std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size());
    std::fclose(file);
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::string LogicalText(const std::string& path) {
    std::string text;
    for (const std::string& piece : Pieces(path, 1 << 20)) text += piece;
    return text;
}

std::vector<std::string> Pieces(const std::string& path, size_t limit) {
    TextReader reader(path);
    FUZZ_CHECK(reader.IsOpen());
    std::vector<std::string> pieces;
    std::string piece;
    while (reader.ReadPiece(piece, limit)) pieces.push_back(piece);
    return pieces;
}

bool ContainsInOrder(std::string_view text, const std::vector<std::string>& pieces) {
    size_t from = 0;
    for (const std::string& piece : pieces) {
        size_t at = text.find(piece, from);
        if (at == std::string_view::npos) return false;
        from = at + piece.size();
    }
    return true;
}

std::string TakeDisplayName(std::string_view& data) {
    size_t end = data.find('\n');
    std::string_view first = data.substr(0, end == std::string_view::npos ? data.size() : end);
    data.remove_prefix(end == std::string_view::npos ? data.size() : end + 1);
    std::string name;
    for (char c : first.substr(0, 40))
        if (c != ',' && c != '\n' && c != '\0' && c != '\x1a') name += c;
    return name.empty() ? "German" : name;
}

}  // namespace setup::fuzz

#include "uninstall/record_store.h"

#include <vector>

#include "base/files.h"
#include "base/stdio_file.h"

namespace setup {

namespace {

// A record lists a few hundred entries; anything far larger is no record.
constexpr std::uint64_t kMaxRecordSize = 16 << 20;

constexpr const char* kScratchRecordName = "uninstall.tmp";

constexpr size_t kChecksumLineEnd = 2;
constexpr size_t kSha256Digits = 64;
// More than a record's first line.
constexpr size_t kFirstBytes = 64;

// Whether the file begins as a record, or is empty when that is allowed; false when it cannot be
// read (a directory of that name, say).
bool BeginsAsRecordFile(const std::string& path, bool emptyAllowed) {
    const UniqueFile file = OpenFile(path, "rb");
    if (!file) return false;
    char first[kFirstBytes];
    const size_t got = std::fread(first, 1, sizeof first, file.get());
    if (std::ferror(file.get())) return false;
    return (got == 0 && emptyAllowed) || BeginsAsRecord(std::string_view(first, got));
}

}  // namespace

std::optional<std::string> ForeignUninstallFile(const std::string& directory, UninstallServices& services) {
    const std::string record = PathInDirectory(directory, kUninstallRecordName);
    const std::string scratch = PathInDirectory(directory, kScratchRecordName);
    const std::string program = PathInDirectory(directory, kUninstallProgramName);
    const bool hasRecord = services.Exists(record);
    if (hasRecord && !BeginsAsRecordFile(record, false)) return record;
    if (services.Exists(scratch) && !BeginsAsRecordFile(scratch, true)) return scratch;
    if (services.Exists(program) && !hasRecord) return program;
    return std::nullopt;
}

StoredRecord LoadRecord(const std::string& directory, UninstallServices& services) {
    StoredRecord stored;
    const std::string path = PathInDirectory(directory, kUninstallRecordName);
    const UniqueFile file = OpenFile(path, "rb");
    if (!file) {
        stored.missing = !services.Exists(path);
        stored.problem = stored.missing ? "Nothing to remove: " + directory + " holds no uninstall record"
                                        : "The uninstall record " + path + " cannot be read";
        return stored;
    }
    const std::optional<std::uint64_t> size = FileSize(file.get());
    std::string text(size && *size <= kMaxRecordSize ? *size : 0, '\0');
    if (!size || *size > kMaxRecordSize || std::fread(text.data(), 1, text.size(), file.get()) != text.size()) {
        stored.problem = "The uninstall record is damaged: it cannot be read whole";
        return stored;
    }
    auto pathKey = [&services](std::string_view p) { return services.PathKey(p); };
    RecordReading reading = ReadRecordText(
        text, [&services](std::string_view bytes) { return services.Sha256(bytes); }, pathKey);
    if (!reading.record) {
        stored.problem = "The uninstall record is damaged: " + reading.problem;
        return stored;
    }
    const std::optional<UninstallEntry> entry = services.ReadEntry(reading.record->key);
    if (!entry) {
        stored.problem = "The uninstall record is not registered on this machine: it belongs to another product";
    } else if (entry->recordSha256 != reading.sha256 && entry->nextRecordSha256 != reading.sha256) {
        stored.problem = "The uninstall record is damaged: it differs from the one registered on this machine";
    } else if (pathKey(reading.record->target) != pathKey(directory) ||
               // A first install that ended before its entry was written leaves the entry with
               // the record's checksum only; its key is made from the target's path.
               (pathKey(entry->installLocation) != pathKey(reading.record->target) &&
                !(entry->installLocation.empty() && entry->nextRecordSha256 == reading.sha256))) {
        stored.problem = "The uninstall record belongs to another installation";
    } else {
        stored.record = std::move(reading.record);
    }
    return stored;
}

std::optional<std::string> StoreRecord(const UninstallRecord& record, UninstallServices& services) {
    const std::optional<std::string> text = RecordText(
        record, [&services](std::string_view bytes) { return services.Sha256(bytes); },
        [&services](std::string_view path) { return services.PathKey(path); });
    if (!text) return std::nullopt;
    const std::string scratch = PathInDirectory(record.target, kScratchRecordName);
    UniqueFile file = OpenFile(scratch, "wb");
    if (!file) return std::nullopt;
    const bool written = std::fwrite(text->data(), 1, text->size(), file.get()) == text->size();
    // The checksum line closes the text. The entry accepts it before the record is replaced.
    std::string checksum = text->substr(text->size() - kChecksumLineEnd - kSha256Digits, kSha256Digits);
    if (!CloseChecked(file.release()) || !written || !services.WriteNextRecordChecksum(record.key, checksum) ||
        !ReplaceFileAtomically(scratch, PathInDirectory(record.target, kUninstallRecordName))) {
        RemoveFile(scratch);
        return std::nullopt;
    }
    return checksum;
}

}  // namespace setup

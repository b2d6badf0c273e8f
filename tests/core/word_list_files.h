#pragma once
// Word-list bytes for tests: records composed field by field, and whole lists read back.
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "test_support.h"
#include "wordlist/word_record.h"

namespace setup::test {

using Entry = std::pair<std::string, std::string>;

inline std::string ListBytes(const std::vector<Entry>& entries) {
    std::string bytes;
    for (const auto& [head, translations] : entries) bytes += RecordBytes(head, translations);
    return bytes;
}

// The records of a list file as (head word, translations) texts; the bytes after each text
// must be zero, as in every record this program composes.
inline std::vector<Entry> ReadEntries(const std::string& path) {
    const std::string bytes = ReadFileBytes(path);
    std::vector<Entry> entries;
    for (size_t at = 0; at + kWordRecordSize <= bytes.size(); at += kWordRecordSize) {
        const std::string record = bytes.substr(at, kWordRecordSize);
        std::string head = record.substr(0, kHeadWordFieldSize).c_str();
        std::string translations = record.substr(kHeadWordFieldSize, kTranslationsFieldSize).c_str();
        if (record != RecordBytes(head, translations))
            entries.emplace_back("<not zero-padded>", record);
        else
            entries.emplace_back(std::move(head), std::move(translations));
    }
    return entries;
}

}  // namespace setup::test


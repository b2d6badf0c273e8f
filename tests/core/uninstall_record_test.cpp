// The uninstall record: the golden cases of tests/cases/uninstall_record.txt read, refused or
// written again, with a stand-in for the platform's SHA-256.
#include <gtest/gtest.h>

#include <cstdio>

#include "base/ascii.h"
#include "golden_cases.h"
#include "uninstall/uninstall_record.h"

namespace setup {
namespace {

// SHA-256's shape (64 lower-case hexadecimal digits), and a change of any byte changes it.
std::string StandInSha256(std::string_view bytes) {
    std::string hex;
    for (std::uint64_t seed = 1; seed <= 4; ++seed) {
        std::uint64_t hash = 14695981039346656037ULL ^ seed;
        for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ULL;
        char part[17];
        std::snprintf(part, sizeof part, "%016llx", static_cast<unsigned long long>(hash));
        hex += part;
    }
    return hex;
}

std::string Folded(std::string_view path) {
    std::string key(path);
    for (char& c : key) c = static_cast<char>(FoldAscii(static_cast<unsigned char>(c)));
    return key;
}

std::string Fields(const UninstallRecord& r) {
    std::string text = r.name + "|" + r.key + "|" + r.target + "\n";
    for (const std::string& directory : r.directories) text += "dir " + directory + "\n";
    for (const RecordedFile& f : r.files)
        text += (f.existedBefore ? "old " : "new ") + std::to_string(f.size) + " " + f.path + "\n";
    for (const RecordedIniKey& k : r.iniKeys)
        text += k.file + " [" + k.section + "] " + k.key + "=" + k.written + " was " + k.before.value_or("-") + "\n";
    return text;
}

TEST(UninstallRecord, GoldenCases) {
    for (const test::GoldenCase& c : test::ReadGoldenCases("uninstall_record.txt")) {
        SCOPED_TRACE(c.name);
        if (c.Has("paths")) {
            for (const std::string& line : test::Lines(c.Text("paths")))
                EXPECT_EQ(IsPlainFullPath(line.substr(line.find(' ') + 1)), line.starts_with("yes")) << line;
            continue;
        }
        if (c.Has("below")) {
            for (const std::string& line : test::Lines(c.Text("below"))) {
                const size_t bar = line.find('|'), last = line.rfind('|');
                EXPECT_EQ(IsBelow(Folded(line.substr(0, bar)), Folded(line.substr(bar + 1, last - bar - 1))),
                          line.ends_with("yes"));
            }
            for (const std::string& line : test::Lines(c.Text("parent")))
                EXPECT_EQ(ParentDirectory(line.substr(0, line.find('|'))), line.substr(line.find('|') + 1));
            continue;
        }
        std::string text = test::Crlf(c.Text("record"));
        if (const size_t mark = text.find("<checksum>"); mark != std::string::npos) {
            const size_t line = text.rfind("\r\n", mark);
            text.replace(mark, 10, StandInSha256(text.substr(0, line == std::string::npos ? 0 : line + 2)));
        }
        if (c.Has("flip")) text[std::stoul(c.Section("flip").arguments)] ^= 1;
        if (c.Has("cut")) text.resize(std::stoul(c.Section("cut").arguments));
        if (c.Has("append")) text += c.Section("append").arguments;
        const RecordReading reading = ReadRecordText(text, StandInSha256, Folded);
        EXPECT_EQ(reading.record ? "ok" : reading.problem, c.Section("read").arguments);
        if (!reading.record) continue;
        EXPECT_EQ(Fields(*reading.record), c.Text("fields"));
        EXPECT_EQ(RecordText(*reading.record, StandInSha256, Folded), text);
        for (const test::GoldenSection& edit : c.sections) {
            if (edit.name != "unwritable") continue;
            UninstallRecord changed = *reading.record;
            const size_t is = edit.arguments.find('=');
            const std::string field = edit.arguments.substr(0, is);
            (field == "target" ? changed.target : field == "sha256" ? changed.files[0].sha256 : changed.files[0].path) =
                edit.arguments.substr(is + 1);
            EXPECT_EQ(RecordText(changed, StandInSha256, Folded), std::nullopt) << edit.arguments;
        }
    }
}

}  // namespace
}  // namespace setup

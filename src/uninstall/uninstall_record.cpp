#include "uninstall/uninstall_record.h"

#include <charconv>
#include <set>

#include "base/ascii.h"

namespace setup {

namespace {

constexpr std::string_view kHeader = "Dictionary uninstall record 1";
constexpr std::string_view kLineEnd = "\r\n";
constexpr char kSeparator = '\t';
constexpr std::string_view kNoValue = "-";
constexpr char kValueMark = '=';

constexpr std::string_view kHexDigits = "0123456789ABCDEF";

// A field keeps every byte but the control characters and "%", which are written as %XX, so
// no field holds a separator or a line end.
std::string Escaped(std::string_view text) {
    std::string field;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '%') {
            field += '%';
            field += kHexDigits[byte >> 4];
            field += kHexDigits[byte & 15];
        } else {
            field += c;
        }
    }
    return field;
}

std::optional<int> HexValue(char c) {
    const size_t at = kHexDigits.find(c);
    return at == std::string_view::npos ? std::nullopt : std::optional<int>(static_cast<int>(at));
}

std::optional<std::string> Unescaped(std::string_view field) {
    std::string text;
    for (size_t i = 0; i < field.size(); ++i) {
        const auto byte = static_cast<unsigned char>(field[i]);
        if (byte < 0x20 || byte == 0x7F) return std::nullopt;
        if (field[i] != '%') {
            text += field[i];
            continue;
        }
        if (i + 2 >= field.size()) return std::nullopt;
        const std::optional<int> high = HexValue(field[i + 1]), low = HexValue(field[i + 2]);
        if (!high || !low) return std::nullopt;
        text += static_cast<char>(*high * 16 + *low);
        i += 2;
    }
    return text;
}

bool IsSha256(std::string_view text) {
    return text.size() == 64 && text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

std::vector<std::string_view> Split(std::string_view line) {
    std::vector<std::string_view> fields;
    for (size_t start = 0;;) {
        const size_t end = line.find(kSeparator, start);
        fields.push_back(line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return fields;
        start = end + 1;
    }
}

bool IsPlainName(std::string_view name) {
    if (name.empty() || name == "." || name == ".." || name.back() == '.' || name.back() == ' ') return false;
    for (char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos)
            return false;
    return true;
}

bool AllPlainNames(std::string_view names) {
    for (size_t start = 0;;) {
        const size_t end = names.find('\\', start);
        if (!IsPlainName(names.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start)))
            return false;
        if (end == std::string_view::npos) return true;
        start = end + 1;
    }
}

// Reads the lines after the header; every failure names the line it is on.
class RecordParser {
public:
    RecordParser(const PathKeyFunction& pathKey, UninstallRecord& record) : pathKey_(pathKey), record_(record) {}

    // An empty text when the line is an entry of the format; else what is wrong with it.
    std::string Take(size_t number, std::string_view line) {
        const std::vector<std::string_view> raw = Split(line);
        std::vector<std::string> fields;
        for (std::string_view field : raw) {
            std::optional<std::string> text = Unescaped(field);
            if (!text) return "a field holds a character it cannot hold";
            fields.push_back(std::move(*text));
        }
        const std::string& kind = fields[0];
        // The three heading lines come first, in this order, once each.
        if (number <= 4) {
            static constexpr std::string_view kHeadings[] = {"name", "key", "target"};
            const std::string_view heading = kHeadings[number - 2];
            if (kind != heading || fields.size() != 2) return std::string("\"").append(heading).append("\" expected");
            return TakeHeading(number, fields[1]);
        }
        if (kind == "dir" && fields.size() == 2) return TakeDirectory(fields[1]);
        if (kind == "file" && fields.size() == 5) return TakeFile(fields);
        if (kind == "ini" && fields.size() == 6) return TakeIniKey(fields);
        return "not an entry of an uninstall record";
    }

private:
    std::string TakeHeading(size_t number, const std::string& value) {
        switch (number) {
            case 2: record_.name = value; return value.empty() ? "the name is empty" : "";
            case 3:
                record_.key = value;
                return value.empty() || value.find('\\') != std::string::npos ? "the key is no registry key name" : "";
            default: record_.target = value; return IsPlainFullPath(value) ? "" : "the target is not a full path";
        }
    }

    // A path is taken once, in full form, and never the record or its program.
    std::string NewPath(const std::string& path) {
        if (!IsPlainFullPath(path)) return "\"" + path + "\" is not a full path";
        if (!paths_.insert(pathKey_(path)).second) return "\"" + path + "\" is named twice";
        return "";
    }

    std::string TakeDirectory(const std::string& path) {
        std::string problem = NewPath(path);
        if (problem.empty()) record_.directories.push_back(path);
        return problem;
    }

    std::string TakeFile(const std::vector<std::string>& fields) {
        RecordedFile file;
        if (fields[1] != "new" && fields[1] != "old") return "\"new\" or \"old\" expected";
        file.existedBefore = fields[1] == "old";
        const std::string& size = fields[2];
        const auto [end, error] = std::from_chars(size.data(), size.data() + size.size(), file.size);
        if (size.empty() || error != std::errc() || end != size.data() + size.size() ||
            (size[0] == '0' && size.size() > 1))
            return "the size is no number";
        if (!IsSha256(fields[3])) return "the checksum is no SHA-256";
        file.sha256 = fields[3];
        file.path = fields[4];
        if (IsUninstallerFile(pathKey_(file.path), record_.target, pathKey_))
            return "\"" + file.path + "\" is the uninstaller's own";
        std::string problem = NewPath(file.path);
        if (problem.empty()) record_.files.push_back(std::move(file));
        return problem;
    }

    std::string TakeIniKey(const std::vector<std::string>& fields) {
        RecordedIniKey key{fields[1], fields[2], fields[3], fields[4], std::nullopt};
        if (key.file.empty() || key.section.empty() || key.key.empty()) return "a profile key without its name";
        if (fields[5] != kNoValue) {
            if (fields[5].empty() || fields[5][0] != kValueMark) return "\"-\" or \"=value\" expected";
            key.before = fields[5].substr(1);
        }
        if (!iniKeys_.insert(pathKey_(ProfileKeyPath(key.file, key.section, key.key))).second)
            return "the profile key " + key.key + " is named twice";
        record_.iniKeys.push_back(std::move(key));
        return "";
    }

    const PathKeyFunction& pathKey_;
    UninstallRecord& record_;
    std::set<std::string> paths_;
    std::set<std::string> iniKeys_;
};

std::string Line(std::initializer_list<std::string_view> fields) {
    std::string line;
    for (std::string_view field : fields) {
        if (!line.empty()) line += kSeparator;
        line += Escaped(field);
    }
    return line.append(kLineEnd);
}

}  // namespace

bool BeginsAsRecord(std::string_view bytes) {
    return bytes.starts_with(kHeader) && bytes.substr(kHeader.size()).starts_with(kLineEnd);
}

bool IsPlainFullPath(std::string_view path) {
    std::string_view names;
    if (path.size() >= 3 && ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z') && path[1] == ':' && path[2] == '\\') {
        names = path.substr(3);
        if (names.empty()) return true;  // a drive's root
    } else if (path.starts_with("\\\\")) {
        names = path.substr(2);
        const size_t share = names.find('\\');
        if (share == std::string_view::npos || share + 1 >= names.size()) return false;  // server and share
    } else {
        return false;
    }
    return AllPlainNames(names);
}

std::string ParentDirectory(std::string_view path) {
    const size_t last = path.rfind('\\');
    if (last == std::string_view::npos) return std::string(path);
    // The root of a drive keeps its backslash.
    return std::string(path.substr(0, last == 2 && path[1] == ':' ? 3 : last));
}

std::string PathInDirectory(std::string_view directory, std::string_view name) {
    std::string path(directory);
    if (!path.ends_with('\\')) path += '\\';
    return path.append(name);
}

bool IsUninstallerFile(std::string_view fileKey, std::string_view target, const PathKeyFunction& pathKey) {
    return fileKey == pathKey(PathInDirectory(target, kUninstallRecordName)) ||
           fileKey == pathKey(PathInDirectory(target, kUninstallProgramName));
}

bool NamesUninstallProgram(std::string_view path) {
    return EqualsIgnoreCase(path.substr(path.rfind('\\') + 1), kUninstallProgramName);
}

std::string ProfileKeyPath(std::string_view file, std::string_view section, std::string_view key) {
    return std::string(file).append("\t").append(section).append("\t").append(key);
}

bool IsBelow(std::string_view pathKey, std::string_view directoryKey) {
    if (pathKey.size() <= directoryKey.size() || !pathKey.starts_with(directoryKey)) return false;
    return directoryKey.ends_with('\\') || pathKey[directoryKey.size()] == '\\';
}

std::optional<std::string> RecordText(const UninstallRecord& record, const Sha256Function& sha256,
                                      const PathKeyFunction& pathKey) {
    std::string text(kHeader);
    text.append(kLineEnd);
    text += Line({"name", record.name}) + Line({"key", record.key}) + Line({"target", record.target});
    for (const std::string& directory : record.directories) text += Line({"dir", directory});
    for (const RecordedFile& file : record.files)
        text += Line({"file", file.existedBefore ? "old" : "new", std::to_string(file.size), file.sha256, file.path});
    for (const RecordedIniKey& key : record.iniKeys) {
        const std::string before = key.before ? kValueMark + *key.before : std::string(kNoValue);
        text += Line({"ini", key.file, key.section, key.key, key.written, before});
    }
    text += Line({"sha256", sha256(text)});
    if (!ReadRecordText(text, sha256, pathKey).record) return std::nullopt;
    return text;
}

RecordReading ReadRecordText(std::string_view text, const Sha256Function& sha256, const PathKeyFunction& pathKey) {
    RecordReading reading;
    // The checksum line is the last: the text ends with its line end.
    const std::string_view body = text.ends_with(kLineEnd) ? text.substr(0, text.size() - 2) : std::string_view();
    const size_t lineBefore = body.rfind(kLineEnd);
    const std::string_view content = text.substr(0, lineBefore == std::string_view::npos ? 0 : lineBefore + 2);
    const std::vector<std::string_view> last = Split(body.substr(content.size()));
    if (lineBefore == std::string_view::npos || last.size() != 2 || last[0] != "sha256" || !IsSha256(last[1])) {
        reading.problem = "it is cut short";
        return reading;
    }
    reading.sha256 = last[1];
    if (sha256(content) != reading.sha256) {
        reading.problem = "its checksum does not match";
        return reading;
    }
    UninstallRecord record;
    RecordParser parser(pathKey, record);
    size_t number = 0;
    for (size_t start = 0; start < content.size();) {
        const size_t end = content.find(kLineEnd, start);
        const std::string_view line = content.substr(start, end - start);
        start = end + 2;
        ++number;
        std::string problem = number == 1 ? (line == kHeader ? "" : "it is no uninstall record of this program")
                                          : parser.Take(number, line);
        if (!problem.empty()) {
            reading.problem = number == 1 ? problem : "line " + std::to_string(number) + ": " + problem;
            return reading;
        }
    }
    if (number < 4) {
        reading.problem = "it is cut short";
        return reading;
    }
    reading.record = std::move(record);
    return reading;
}

}  // namespace setup

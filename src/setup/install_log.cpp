#include "setup/install_log.h"

#include <ctime>

namespace setup {

std::string LocalTime() {
    const std::time_t now = std::time(nullptr);
    char text[32] = {};
    if (const std::tm* local = std::localtime(&now)) std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local);
    return text;
}

InstallLog::InstallLog(const std::string& path) : file_(OpenFile(path, "ab")) {}

bool InstallLog::Write(std::string_view line) {
    if (!file_ || failed_) return false;
    std::string text;
    for (char c : line) {
        if (c == '\r')
            text += "\\r";
        else if (c == '\n')
            text += "\\n";
        else
            text.push_back(c);
    }
    text += "\r\n";
    // The Windows C runtime's fclose does not report a buffered write that failed: every line
    // is flushed and checked here.
    std::fwrite(text.data(), 1, text.size(), file_.get());
    std::fflush(file_.get());
    if (std::ferror(file_.get())) failed_ = true;
    return !failed_;
}

std::string_view StepResult(bool succeeded) { return succeeded ? ": ok" : ": failed"; }

bool LoggingScriptServices::MakeDirectory(const std::string& path) {
    const bool made = inner_.MakeDirectory(path);
    log_.Write("mkdir " + path + std::string(StepResult(made)));
    return made;
}

bool LoggingScriptServices::CopyFileReplacing(const std::string& source, const std::string& destination) {
    const bool copied = inner_.CopyFileReplacing(source, destination);
    log_.Write("copy " + source + " -> " + destination + std::string(StepResult(copied)));
    return copied;
}

void LoggingScriptServices::ForEachEntry(const std::string& pattern,
                                         const std::function<void(const FoundEntry&)>& onEntry) {
    int files = 0;
    inner_.ForEachEntry(pattern, [&](const FoundEntry& entry) {
        if (!entry.isDirectory) ++files;
        onEntry(entry);
    });
    log_.Write("search " + pattern + ": " + std::to_string(files) + (files == 1 ? " file" : " files"));
}

bool LoggingScriptServices::ChangeDirectory(const std::string& path) {
    const bool changed = inner_.ChangeDirectory(path);
    log_.Write("working directory " + path + std::string(StepResult(changed)));
    return changed;
}

bool LoggingScriptServices::WriteProfileKey(const std::string& section, const std::string& key,
                                            const std::string& value, const std::string& file) {
    const bool written = inner_.WriteProfileKey(section, key, value, file);
    log_.Write(file + " [" + section + "] " + key + "=" + value + std::string(StepResult(written)));
    return written;
}

void MessageLog::Show(const std::string& text, const std::string& caption, MessageIcon, bool) {
    log_.Write("message \"" + caption + "\": \"" + text + "\"");
}

}  // namespace setup

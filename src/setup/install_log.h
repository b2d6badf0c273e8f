#pragma once
// The log of an unattended run, one line per step appended to a file, and the services that
// write it: the script's file services with their results, and the message boxes as lines.
#include <string>
#include <string_view>

#include "base/message_service.h"
#include "base/stdio_file.h"
#include "script/script_services.h"

namespace setup {

// Appends lines to a file, each written and flushed at once, so that every line before an
// abrupt end is kept. The log never stops an installation: a file that cannot be opened gives no
// log at all, and after a failed write no more lines are written.
class InstallLog {
public:
    // No file: the lines go nowhere (a run without /LOG=).
    InstallLog() = default;
    explicit InstallLog(const std::string& path);

    // Writes the line and CR LF; a carriage return or line feed inside it is written as \r or \n,
    // so that one call is always one line. True when the line is in the file.
    bool Write(std::string_view line);

private:
    UniqueFile file_;
    bool failed_ = false;
};

// The date and time that begin a run's first line: "2026-12-07 00:39:34".
std::string LocalTime();

// ": ok" or ": failed", the end of a step's line.
std::string_view StepResult(bool succeeded);

// The script's file services as the inner services carry them out, each call that changes
// something logged with its paths and its result, and each search with the files it found.
class LoggingScriptServices final : public ScriptServices {
public:
    LoggingScriptServices(ScriptServices& inner, InstallLog& log) : inner_(inner), log_(log) {}

    bool MakeDirectory(const std::string& path) override;
    bool CopyFileReplacing(const std::string& source, const std::string& destination) override;
    void ForEachEntry(const std::string& pattern, const std::function<void(const FoundEntry&)>& onEntry) override;
    std::optional<std::string> CurrentDirectory() override { return inner_.CurrentDirectory(); }
    bool ChangeDirectory(const std::string& path) override;
    bool WriteProfileKey(const std::string& section, const std::string& key, const std::string& value,
                         const std::string& file) override;
    void ShowDestination(const std::string& path) override { inner_.ShowDestination(path); }

private:
    ScriptServices& inner_;
    InstallLog& log_;
};

// Message boxes as lines of the log: caption and text, in place of a box.
class MessageLog final : public MessageService {
public:
    explicit MessageLog(InstallLog& log) : log_(log) {}
    void Show(const std::string& text, const std::string& caption, MessageIcon icon, bool owned) override;

private:
    InstallLog& log_;
};

}  // namespace setup

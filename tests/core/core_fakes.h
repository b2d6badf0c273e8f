#pragma once
// What the native tests share. The script's file services as the tests see them: every call a line of `calls`;
// C:\Start, the `enterable` directories and the real directories can be entered (a real one
// becomes the working directory, so that later steps find its files); `listings` holds what a
// search finds, per working directory and pattern; a call on a path or key with "bad" fails.
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "base/fatal.h"
#include "script/script_services.h"

namespace setup::test {

// The text of the fatal error that run ends with; empty when it ends without one.
template <typename Run>
std::string FatalOf(Run run) {
    try {
        run();
    } catch (const FatalError& error) {
        return error.what();
    }
    return {};
}

class RecordingScriptServices : public ScriptServices {
public:
    explicit RecordingScriptServices(std::string& calls) : calls_(calls) {}

    std::optional<std::string> currentDirectory = "C:\\Start";
    std::set<std::string> enterable{"C:\\Start"};
    std::map<std::pair<std::string, std::string>, std::vector<FoundEntry>> listings;

    bool MakeDirectory(const std::string& path) override { return Call("mkdir " + path, path); }
    bool CopyFileReplacing(const std::string& from, const std::string& to) override {
        return Call("copy " + from + " -> " + to, from);
    }
    void ForEachEntry(const std::string& pattern, const std::function<void(const FoundEntry&)>& onEntry) override {
        Call("find " + pattern + " in " + currentDirectory.value_or(""));
        for (const FoundEntry& entry : listings[{currentDirectory.value_or(""), pattern}]) onEntry(entry);
        Call("end find");
    }
    std::optional<std::string> CurrentDirectory() override {
        Call("getcwd");
        return currentDirectory;
    }
    bool ChangeDirectory(const std::string& path) override {
        Call("cd " + path);
        std::error_code error;
        if (std::filesystem::is_directory(path, error)) {
            std::filesystem::current_path(path);
        } else if (!enterable.count(path)) {
            return false;
        }
        currentDirectory = path;
        return true;
    }
    bool WriteProfileKey(const std::string& section, const std::string& key, const std::string& value,
                         const std::string& file) override {
        return Call("profile [" + section + "] <" + key + "> = <" + value + "> in " + file, key);
    }
    void ShowDestination(const std::string& path) override { Call("show " + path); }

private:
    bool Call(const std::string& call, const std::string& subject = "") {
        calls_ += call + "\n";
        return subject.find("bad") == std::string::npos;
    }
    std::string& calls_;
};

}  // namespace setup::test

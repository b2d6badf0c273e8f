#include <gtest/gtest.h>

#include "setup/command_line.h"

namespace setup {
namespace {

// The switches read, as one line of text.
std::string Describe(std::string_view text) {
    std::optional<CommandLine> options = ParseCommandLine(text);
    if (!options) return "not understood";
    std::string described = options->unattended ? "S" : "window";
    if (options->showHelp) described += " help";
    if (options->logPath) described += " log<" + *options->logPath + ">";
    if (options->target) described += " target<" + *options->target + ">";
    return described;
}

TEST(ParseCommandLine, ReadsTheSwitchesInAnyOrderAndCase) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"", "window"},
        {" \t ", "window"},
        {"/S", "S"},
        {"/s /log=c:\\x.log", "S log<c:\\x.log>"},
        {"/LOG=\"c:\\my logs\\x.log\"\t/S", "S log<c:\\my logs\\x.log>"},
        {"/log=a.log /S /LOG=b.log", "S log<b.log>"},
        {"/S /D=C:\\Program Files\\My  Dict ", "S target<C:\\Program Files\\My  Dict >"},
        {"/S /d=", "S target<>"},
        {"/?", "window help"},
        {"/S /? /D=x", "S help target<x>"},
        // /D= takes the rest of the line, switches included.
        {"/S /D=c:\\x /LOG=y", "S target<c:\\x /LOG=y>"},
        {"/D=c:\\x /S", "not understood"},
        {"/LOG=c:\\x.log", "not understood"},
        {"/S /X", "not understood"},
        {"-S", "not understood"},
        {"/SILENT", "not understood"},
        {"/S/D=c:\\x", "not understood"},
        {"/S /LOG=", "not understood"},
        {"/S /LOG=\"\"", "not understood"},
        // Quotes as programs put them around arguments with blanks: dropped.
        {"\"/S\" \"/LOG=a b.log\" \"/D=c:\\x y\"", "S log<a b.log> target<c:\\x y>"},
        {"/S /D=\"c:\\x y\"", "S target<c:\\x y>"},
        {"/S /LOG=\"c:\\x", "S log<c:\\x>"},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(Describe(text), expected) << text;
}

}  // namespace
}  // namespace setup

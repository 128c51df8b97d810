// cmake --install: the program, a man page and a bash completion that know every command.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/demo_device.h"

namespace vx {
namespace {

namespace fs = std::filesystem;
using test::shellQuoted;

// The sub-command names of a --help text (the lines under "Subcommands:").
std::vector<std::string> subcommandsIn(const std::string& help) {
    std::vector<std::string> names;
    const auto listing = help.find("\nSubcommands:\n");
    std::istringstream lines(listing == std::string::npos ? "" : help.substr(listing + 14));
    for (std::string line; std::getline(lines, line) && !line.empty();)
        if (line.rfind("  ", 0) == 0 && line.size() > 2 && line[2] != ' ')
            names.push_back(line.substr(2, line.find(' ', 2) - 2));
    return names;
}

// Every command and sub-command the program's --help texts name: "prefs read", "init", ...
std::vector<std::vector<std::string>> everyCommand(const fs::path& scratch) {
    std::vector<std::vector<std::string>> commands;
    for (const std::string& command :
         subcommandsIn(test::runShell(shellQuoted(VX_PROGRAM) + " --help", scratch).out)) {
        auto subs = subcommandsIn(
            test::runShell(shellQuoted(VX_PROGRAM) + " " + command + " --help", scratch).out);
        if (subs.empty()) commands.push_back({command});
        for (const std::string& sub : subs) commands.push_back({command, sub});
    }
    return commands;
}

TEST(Install, ProgramManPageAndCompletionGoInPlaceAndNameEveryCommand) {
    test::TempDir dir;
    const fs::path prefix = dir.path() / "prefix";
    test::ProgramRun install = test::runShell(
        "cmake --install " + shellQuoted(VX_BINARY_DIR) + " --prefix " + shellQuoted(prefix.string()),
        dir.path());
    ASSERT_EQ(install.status, 0) << install.err;
    const fs::path man = prefix / "share/man/man1/veltrix-settings.1";
    const fs::path completion = prefix / "share/bash-completion/completions/veltrix-settings";
    ASSERT_TRUE(fs::exists(man) && fs::exists(completion));
    EXPECT_EQ(test::runShell(shellQuoted((prefix / "bin/veltrix-settings").string()) + " --version",
                             dir.path())
                  .status,
              0);

    const auto commands = everyCommand(dir.path());
    ASSERT_GE(commands.size(), 15u);  // the texts were found at all
    const std::string page = test::readHostFile(man);
    test::writeHostFile(dir.path() / "complete.sh",
                        "source \"$1\"; shift; COMP_WORDS=(veltrix-settings \"$@\"); "
                        "COMP_CWORD=$#; _veltrix_settings; printf '%s\\n' \"${COMPREPLY[@]}\"\n");
    for (const auto& command : commands) {
        const std::string phrase = command.size() == 1 ? command[0] : command[0] + " " + command[1];
        // An item of the COMMANDS list: `.B init`, `.BR "prefs read " ...`, `.BI "prefs delete " KEY`.
        EXPECT_TRUE(std::regex_search(page, std::regex("\n\\.B[IR]? \"?" + phrase + "[ \"\n]")))
            << phrase;

        // Completing the word after everything before it offers the command's last word.
        std::string words;
        for (std::size_t i = 0; i + 1 < command.size(); ++i) words += " " + command[i];
        test::ProgramRun offered = test::runShell(
            "bash " + shellQuoted((dir.path() / "complete.sh").string()) + " " +
                shellQuoted(completion.string()) + words + " ''",
            dir.path());
        EXPECT_NE(("\n" + offered.out).find("\n" + command.back() + "\n"), std::string::npos)
            << phrase << ": " << offered.out;
    }
}

}  // namespace
}  // namespace vx

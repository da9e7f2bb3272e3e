#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/utf8_text.h"
#include "console/command_line.h"
#include "console/console_progress.h"
#include "console/json_text.h"

// What the publisher's console programs share: how they read their arguments,
// and where their progress goes.

namespace {

TEST(CommandLine, OptionsAnywhereEitherFormAndHelpWhereverItStands)
{
    const std::vector<C_option_spec> specs{{L"--exclude", true}, {L"--dry-run", false}};
    using options = std::vector<std::pair<std::wstring, std::wstring>>;
    const struct {
        std::vector<std::wstring> args;
        bool help;
        options given;
        std::vector<std::wstring> operands;
        const wchar_t* problem;
    } cases[] = {
        {{L"old", L"--exclude", L"save\\", L"new", L"--dry-run"}, false,
         {{L"--exclude", L"save\\"}, {L"--dry-run", L""}}, {L"old", L"new"}, L""},
        {{L"--exclude=*.log", L"--exclude=a=b", L"--exclude="}, false,
         {{L"--exclude", L"*.log"}, {L"--exclude", L"a=b"}, {L"--exclude", L""}}, {}, L""},
        // An option's value is never taken for help, nor help for a value.
        {{L"--exclude", L"--help", L"old"}, false, {{L"--exclude", L"--help"}}, {L"old"}, L""},
        {{L"old", L"--bogus", L"/?"}, true, {}, {L"old"}, L"unknown option --bogus"},
        {{L"-h"}, true, {}, {}, L""},
        {{L"--dry-run=yes"}, false, {}, {}, L"--dry-run takes no value"},
        {{L"old", L"--exclude"}, false, {}, {L"old"}, L"--exclude needs a value"},
        {{L"-", L".\\-odd"}, false, {}, {L"-", L".\\-odd"}, L""},
        {{L"-odd", L"--dry-run=1"}, false, {}, {}, L"unknown option -odd"},
        // After "--" every argument is an operand.
        {{L"--dry-run", L"--", L"-odd", L"--help", L"--"}, false, {{L"--dry-run", L""}}, {L"-odd", L"--help", L"--"}, L""},
    };
    for (const auto& c : cases) {
        const C_command_line line = read_command_line(c.args, specs);
        const std::string shown = to_utf8(c.args.front());
        EXPECT_EQ(line.help, c.help) << shown;
        EXPECT_EQ(line.options, c.given) << shown;
        EXPECT_EQ(line.operands, c.operands) << shown;
        EXPECT_EQ(line.problem, c.problem) << shown;
    }
    EXPECT_TRUE(read_command_line({L"a", L"--version"}, specs).version);
}

TEST(JsonText, EscapesWhatJsonMustAndKeepsTheRest)
{
    const struct {
        std::wstring text;
        const wchar_t* quoted;
    } cases[] = {
        {L"gamedata\\\"a\".txt", L"\"gamedata\\\\\\\"a\\\".txt\""},
        {L"line\nnext\ttab\x01", L"\"line\\nnext\\ttab\\u0001\""},
        {L"星の迷宮 \U0001F600", L"\"星の迷宮 \U0001F600\""},
        // A surrogate without its pair, which a Windows name may hold, stays valid JSON.
        {std::wstring(L"a") + wchar_t(0xD800) + L"b", L"\"a\\ud800b\""},
    };
    for (const auto& c : cases) EXPECT_EQ(json_quote(c.text), c.quoted) << to_utf8(c.quoted);
}

// The console's text on the cursor's line.
std::wstring cursor_line(HANDLE console)
{
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(console, &info)) return std::wstring();
    std::wstring text(static_cast<std::size_t>(info.dwSize.X), L' ');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(console, &text[0], static_cast<DWORD>(text.size()), {0, info.dwCursorPosition.Y}, &read);
    text.resize(read);
    return text.substr(0, text.find_last_not_of(L' ') + 1);
}

TEST(ProgressLine, GoesToTheConsoleWhileTheOutputIsRedirected)
{
    FreeConsole();
    ASSERT_TRUE(AllocConsole());
    const HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(console, INVALID_HANDLE_VALUE);
    const C_temp_dir folder;
    const HANDLE findings = CreateFileW((folder / L"findings.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                        CREATE_ALWAYS, 0, nullptr);
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    const HANDLE errors = GetStdHandle(STD_ERROR_HANDLE);
    SetStdHandle(STD_OUTPUT_HANDLE, findings);
    SetStdHandle(STD_ERROR_HANDLE, console);
    std::wstring shown;
    {
        C_progress_line progress;
        progress.show(L"Comparing: 12 files, 3 MiB read");
        shown = cursor_line(console);
    }
    const std::wstring cleared = cursor_line(console);
    SetStdHandle(STD_OUTPUT_HANDLE, output);
    SetStdHandle(STD_ERROR_HANDLE, errors);
    CloseHandle(findings);
    CloseHandle(console);
    FreeConsole();

    EXPECT_EQ(to_utf8(shown), "Comparing: 12 files, 3 MiB read");
    EXPECT_EQ(to_utf8(cleared), "");
    EXPECT_EQ(read_file(folder / L"findings.txt"), "");
}

TEST(ProgressLine, WritesAPlainLineNowAndThenWhereTheErrorsAreRedirected)
{
    const C_temp_dir folder;
    const HANDLE log = CreateFileW((folder / L"progress.log").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                   CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(log, INVALID_HANDLE_VALUE);
    const HANDLE errors = GetStdHandle(STD_ERROR_HANDLE);
    SetStdHandle(STD_ERROR_HANDLE, log);
    {
        // No interval: every line is due at once.
        C_progress_line progress(0);
        progress.show(L"Comparing: 12 of 40 files, 3 of 10 MiB read");
        progress.show(L"Copying: 1 of 6 files, 0 of 1 MiB");
    }
    {
        // A run shorter than its interval writes nothing.
        C_progress_line progress(60000);
        progress.show(L"Copying: 2 of 6 files, 0 of 1 MiB");
    }
    SetStdHandle(STD_ERROR_HANDLE, errors);
    CloseHandle(log);

    EXPECT_EQ(read_file(folder / L"progress.log"),
              "Comparing: 12 of 40 files, 3 of 10 MiB read\nCopying: 1 of 6 files, 0 of 1 MiB\n");
}

}  // namespace

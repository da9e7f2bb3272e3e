#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "support/console_run.h"
#include "support/expected_texts.h"
#include "support/update_fixture.h"
#include "support/utf8_text.h"
#include "util/text/text.h"

// The built update_check.exe run as a publisher or a CI job runs it: its output
// redirected, its exit status read. And beside it the real update.exe on the
// same broken folder, which must stop at the error the checker names first.

namespace {

const wchar_t* const title = L"秋のアップデート";
const wchar_t* const game = L"星の迷宮";
const std::string no_manifest =
    "update.sha256: warning: missing, so players' updater cannot tell a damaged download\n";

class EndToEndCheck : public testing::Test {
protected:
    C_console_run check(const std::vector<std::wstring>& args)
    {
        return run_console(built_checker_path(), args, machine.start_dir());
    }

    // The checker copied into the update folder, as a publisher may ship it.
    std::wstring checker_beside_the_update()
    {
        const std::wstring copy = machine.update_dir() + L"\\update_check.exe";
        EXPECT_TRUE(CopyFileW(built_checker_path().c_str(), copy.c_str(), FALSE));
        return copy;
    }

    C_update_fixture machine;
};

TEST_F(EndToEndCheck, OutputIsUtf8AndTheStatusSaysWhetherTheUpdateWouldApply)
{
    machine.write_script(title, game, {L"readme.txt"});
    machine.add_source_file(L"readme.txt", "new readme");
    machine.add_source_file(L"forgotten.txt", "x");
    C_console_run run = check({machine.update_dir()});
    EXPECT_TRUE(run.exited);
    EXPECT_EQ(run.exit_code, 0u);
    EXPECT_EQ(run.output, "gamedata\\forgotten.txt: warning: no entry copies this file; it is not shipped\n" +
                              no_manifest + "0 errors, 2 warnings; the update copies 1 file, 10 bytes\n");
    EXPECT_EQ(run.errors, "");

    machine.write_script(title, game, {L"readme.txt", L"ムービー"});
    run = check({machine.update_dir()});
    EXPECT_TRUE(run.exited);
    EXPECT_EQ(run.exit_code, 1u);
    EXPECT_EQ(run.output, to_utf8(L"update.ini:6: error: " + expected::entry_missing(L"gamedata\\ムービー") + L"\n") +
                              "gamedata\\forgotten.txt: warning: no entry copies this file; it is not shipped\n" +
                              no_manifest + "1 error, 2 warnings; the update copies 1 file, 10 bytes\n");
}

TEST_F(EndToEndCheck, StrictCountsWarningsAsErrors)
{
    machine.write_script(title, game, {L"readme.txt"});
    machine.add_source_file(L"readme.txt", "new readme");
    machine.add_source_file(L"forgotten.txt", "x");
    EXPECT_EQ(check({machine.update_dir()}).exit_code, 0u);
    const C_console_run strict = check({L"--strict", machine.update_dir()});
    EXPECT_EQ(strict.exit_code, 1u);
    EXPECT_EQ(strict.output, "gamedata\\forgotten.txt: warning: no entry copies this file; it is not shipped\n" +
                                 no_manifest + "0 errors, 2 warnings; the update copies 1 file, 10 bytes\n");

    DeleteFileW((machine.source_dir() + L"\\forgotten.txt").c_str());
    write_file(machine.update_dir() + L"\\update.sha256",
               "# size 10\nee1af4a282109320b4275ea4d87c0ec4397293263af91ab39b448c5e1aff698a *gamedata/readme.txt\n");
    EXPECT_EQ(check({machine.update_dir(), L"--strict"}).exit_code, 0u);
}

TEST_F(EndToEndCheck, JsonCarriesEachFindingWithItsCodeAndTheCounts)
{
    machine.write_script(title, game, {L"readme.txt", L"ムービー"});
    machine.add_source_file(L"readme.txt", "new readme");
    machine.add_source_file(L"forgotten.txt", "x");
    const C_console_run run = check({L"--format=json", machine.update_dir()});
    EXPECT_EQ(run.exit_code, 1u);
    EXPECT_EQ(run.output, "{\n"
                          "  \"findings\": [\n"
                          "    {\"file\": \"update.ini\", \"line\": 6, \"severity\": \"error\", \"code\": "
                          "\"entry-missing\", \"message\": \"" +
                              to_utf8(replace_all(expected::entry_missing(L"gamedata\\ムービー"), L"\\", L"\\\\")) +
                              "\"},\n"
                              "    {\"file\": \"gamedata\\\\forgotten.txt\", \"line\": null, "
                              "\"severity\": \"warning\", \"code\": \"file-not-copied\", \"message\": \"no entry "
                              "copies this file; it is not shipped\"},\n"
                              "    {\"file\": \"update.sha256\", \"line\": null, \"severity\": \"warning\", "
                              "\"code\": \"manifest-missing\", \"message\": \"missing, so players' updater cannot "
                              "tell a damaged download\"}\n"
                              "  ],\n"
                              "  \"errors\": 1,\n"
                              "  \"warnings\": 2,\n"
                              "  \"copied_files\": 1,\n"
                              "  \"copied_bytes\": 10,\n"
                              "  \"removed_files\": 0\n"
                              "}\n");
    EXPECT_EQ(run.errors, "");
}

TEST_F(EndToEndCheck, WithoutAFolderTheCheckerReadsItsOwn)
{
    machine.write_script(title, game, {L"readme.txt"});
    const C_console_run run = run_console(checker_beside_the_update(), {}, machine.start_dir());
    EXPECT_EQ(run.exit_code, 1u);
    EXPECT_EQ(run.output, to_utf8(L"gamedata: error: " + expected::no_source_folder + L"\n") +
                              "1 error, 0 warnings; the update copies 0 files, 0 bytes\n");
}

TEST_F(EndToEndCheck, UsageErrorsAndHelp)
{
    for (const auto& args : {std::vector<std::wstring>{L"--help"}, {machine.update_dir(), L"--bogus", L"/?"}}) {
        const C_console_run help = check(args);
        EXPECT_EQ(help.exit_code, 0u);
        EXPECT_EQ(help.output.rfind("Usage: update_check.exe [--strict] [--format=text|json] [--] [FOLDER]\n", 0), 0u)
            << help.output;
    }

    const std::wstring missing = machine.update_dir() + L"\\no such folder";
    const std::vector<std::vector<std::wstring>> wrong = {
        {missing}, {machine.update_dir(), machine.update_dir()}, {L"--bogus"}, {L"--strict=yes"}, {L"--format=xml"}};
    for (const auto& args : wrong) {
        const C_console_run run = check(args);
        EXPECT_TRUE(run.exited);
        EXPECT_EQ(run.exit_code, 2u) << to_utf8(args[0]);
        EXPECT_EQ(run.output, "");
        EXPECT_NE(run.errors, "");
    }
    EXPECT_EQ(check({missing}).errors, "update_check: no folder " + to_utf8(missing) + "\n");
}

// Broken the way publishers break updates; in each, the checker's first error is
// the updater's first box, word for word, and the updater stops there.
struct C_broken_update {
    const char* name;
    std::wstring script;  // "<keys>" stands for this machine's three key lines
    std::wstring caption;
};

void PrintTo(const C_broken_update& update, std::ostream* out)
{
    *out << update.name;
}

class SameFirstError : public EndToEndCheck, public testing::WithParamInterface<C_broken_update> {};

TEST_P(SameFirstError, CheckerAndUpdaterStopAtTheSameMessage)
{
    std::wstring text = GetParam().script;
    const std::wstring keys = L"#REG_PATH = \"" + replace_all(machine.reg_path(), L"\\", L"\\\\") +
                              L"\"\r\n#GAME_TITLE = \"" + game + L"\"\r\n#UPDATE_TITLE = \"" + title + L"\"\r\n";
    const auto at = text.find(L"<keys>");
    if (at != std::wstring::npos) text.replace(at, 6, keys);
    machine.write_script(text);
    machine.add_source_file(L"readme.txt", "new readme");
    machine.install_game();

    const C_console_run checked = check({machine.update_dir()});
    const std::string marker = ": error: ";
    const std::size_t error_at = checked.output.find(marker);
    ASSERT_NE(error_at, std::string::npos) << checked.output;
    const std::size_t end = checked.output.find('\n', error_at);
    const std::string first_error = checked.output.substr(error_at + marker.size(), end - error_at - marker.size());

    const C_run run = machine.run({box_answer::ok, box_answer::ok});
    EXPECT_TRUE(run.problems.empty()) << run.report();
    ASSERT_EQ(run.shown_boxes().size(), 2u) << run.report();
    EXPECT_EQ(first_error, to_utf8(run.shown_boxes()[0].text)) << checked.output;
    EXPECT_EQ(run.shown_boxes(), failure_boxes(GetParam().caption, run.shown_boxes()[0].text));
    EXPECT_EQ(checked.exit_code, 1u);
}

INSTANTIATE_TEST_SUITE_P(
    BrokenUpdates, SameFirstError,
    testing::Values(
        // The title's line is unquoted, so the updater has no title; the other
        // mistakes come later in its order.
        C_broken_update{"UnquotedTitle",
                        L"#REG_PATH = \"Velkor\"\r\n#GAME_TITLE = \"g\"\r\n#UPDATE_TITLE = 秋\r\n#COPY_FILE = \"\"\r\n",
                        L""},
        C_broken_update{"MissingThenEmptyEntry",
                        L"<keys>#COPYFILE = \"readme.txt\"\r\n#COPY_FILE = \"readme.txt\"\r\n"
                        L"#COPY_FILE = \"ムービー/op.mpg\"\r\n#COPY_FILE = \"\"\r\n",
                        title},
        C_broken_update{"EntryOutsideTheInstallation", L"<keys>#COPY_FILE = \"..\\\\save\\\\slot1.sav\"\r\n", title},
        C_broken_update{"RemovalOutsideTheInstallation",
                        L"<keys>#COPY_FILE = \"readme.txt\"\r\n#DELETE_FILE = \"data\\\\old_scene.scr\"\r\n"
                        L"#DELETE_FILE = \"C:\\\\Windows\\\\win.ini\"\r\n",
                        title}),
    [](const testing::TestParamInfo<C_broken_update>& info) { return std::string(info.param.name); });

}  // namespace

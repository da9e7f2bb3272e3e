#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "support/expected_texts.h"
#include "support/host_files.h"
#include "support/temp_dir.h"
#include "support/utf8_text.h"
#include "update_core/delete_entry_form.h"
#include "update_core/removed_files.h"
#include "util/fs/folder_listings.h"

// What the updater makes of #DELETE_FILE entries: those it refuses by their
// text, and, looked up in a real installation folder, the files it removes.

namespace {

std::vector<std::string> problem_lines(const std::vector<C_delete_problem>& problems)
{
    std::vector<std::string> lines;
    for (const auto& problem : problems) lines.push_back(std::to_string(problem.entry) + ": " + to_utf8(problem.message));
    return lines;
}

std::vector<std::string> file_lines(const std::vector<C_removed_file>& files)
{
    std::vector<std::string> lines;
    for (const auto& file : files) lines.push_back(std::to_string(file.entry) + ": " + to_utf8(file.rel));
    return lines;
}

TEST(DeleteEntryForm, EntriesThatCanNameNoFileOfAnyInstallation)
{
    const struct {
        const wchar_t* entry;
        delete_entry_form form;
    } cases[] = {
        {L"data\\old_scene.scr", delete_entry_form::names_a_file},
        {L"data/./old_scene.scr", delete_entry_form::names_a_file},
        {L"..data\\x", delete_entry_form::names_a_file},
        {L"~update_rollback.txt", delete_entry_form::names_a_file},
        {L"", delete_entry_form::empty},
        {L".", delete_entry_form::empty},
        {L".\\/", delete_entry_form::empty},
        {L"..\\save\\slot1.sav", delete_entry_form::outside},
        {L"data\\... \\x", delete_entry_form::outside},
        {L"\\Windows\\win.ini", delete_entry_form::outside},
        {L"//server\\share\\x", delete_entry_form::outside},
        {L"C:x.dll", delete_entry_form::outside},
        {L"data.pak:stream", delete_entry_form::outside},
        {L"~Update_Rollback\\update.journal", delete_entry_form::in_work_folder},
        {L".\\~update_rollback. ", delete_entry_form::in_work_folder},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(static_cast<int>(delete_entry_form_of(c.entry)), static_cast<int>(c.form)) << to_utf8(c.entry);
    }
    EXPECT_EQ(problem_lines(find_delete_entry_form_problems({L"a.txt", L"", L"..\\b", L"~update_rollback\\c", L"d"})),
              (std::vector<std::string>{"2: " + to_utf8(expected::delete_entry_empty(2)),
                                        "3: " + to_utf8(expected::delete_entry_outside(3)),
                                        "4: " + to_utf8(expected::delete_entry_in_work_folder(4))}));
}

class RemovedFiles : public testing::Test {
protected:
    RemovedFiles()
    {
        write_file(game / L"VelkorEngine.exe", "MZ");
        write_file(game / L"data\\old_scene.scr", "old scene");
        write_file(game / L"Legacy\\Old.dll", "old dll");
        write_file(game / L"readme.txt", "1.01");
        make_folder(game / L"movie");
    }

    C_removal_plan plan(const std::vector<std::wstring>& entries, const std::vector<C_copy_item>& copied = {})
    {
        C_folder_listings listings;
        return plan_removed_files(listings, game.path(), entries, copied);
    }

    C_temp_dir game;
};

TEST_F(RemovedFiles, EachFileOnceByItsStoredNameAndNoneThatIsMissingOrCopied)
{
    const C_removal_plan removal =
        plan({L"DATA/Old_Scene.scr", L"legacy\\old.dll", L"never\\had.txt", L"data\\old_scene.scr\\below.txt",
              L"data\\.\\old_scene.scr", L"readme.txt", L"data\\new.scr"},
             {{L"readme.txt", 4}, {L"data\\new.scr", 3}});

    EXPECT_EQ(problem_lines(removal.problems), std::vector<std::string>{});
    EXPECT_EQ(file_lines(removal.files), (std::vector<std::string>{"1: data\\old_scene.scr", "2: Legacy\\Old.dll"}));
}

TEST_F(RemovedFiles, FoldersOtherNamesAndFormAreRefusedInEntryOrder)
{
    const std::wstring alias = L"data\\old_scene.scr.";
    const C_removal_plan removal = plan({L"movie", L"legacy\\old.dll", alias, L"..\\x", L"data"});

    EXPECT_EQ(problem_lines(removal.problems),
              (std::vector<std::string>{"1: " + to_utf8(expected::delete_entry_is_folder(1, game / L"movie")),
                                        "3: " + to_utf8(expected::delete_entry_other_name(3, game / alias)),
                                        "4: " + to_utf8(expected::delete_entry_outside(4)),
                                        "5: " + to_utf8(expected::delete_entry_is_folder(5, game / L"data"))}));
    EXPECT_EQ(file_lines(removal.files), std::vector<std::string>{"2: Legacy\\Old.dll"});
}

TEST_F(RemovedFiles, AShortNameIsAnotherName)
{
    wchar_t short_path[MAX_PATH] = {};
    write_file(game / L"data\\a_long_file_name.scr", "long");
    const std::wstring long_name = game / L"data\\a_long_file_name.scr";
    const DWORD length = GetShortPathNameW(long_name.c_str(), short_path, MAX_PATH);
    const std::wstring short_name(short_path, length);
    if (length == 0 || short_name == long_name) GTEST_SKIP() << "this volume gives no short names";
    const std::wstring entry = L"data\\" + short_name.substr(short_name.rfind(L'\\') + 1);

    const C_removal_plan removal = plan({entry});

    EXPECT_EQ(problem_lines(removal.problems),
              std::vector<std::string>{"1: " + to_utf8(expected::delete_entry_other_name(1, game / entry))});
    EXPECT_TRUE(removal.files.empty());
}

}  // namespace

#include <gtest/gtest.h>

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "support/box_recorder.h"
#include "support/current_dir.h"
#include "support/expected_texts.h"
#include "support/host_files.h"
#include "support/temp_dir.h"
#include "support/tree_snapshot.h"
#include "support/test_reg_key.h"
#include "support/utf8_text.h"
#include "update/destination_check.h"
#include "update/install_info.h"
#include "update/update_sequence.h"
#include "update_core/source_check.h"
#include "update_core/update_settings.h"
#include "util/fs/path.h"

bool operator==(const C_source_finding& a, const C_source_finding& b)
{
    return a.entry == b.entry && a.message == b.message;
}

void PrintTo(const C_source_finding& finding, std::ostream* out)
{
    *out << finding.entry << ": " << testing::PrintToString(finding.message);
}

namespace {

std::vector<std::wstring> failure(const std::wstring& specific)
{
    return {specific, expected::update_failed};
}

// Every case starts from a fresh settings record and leaves none behind.
class UpdateChecks : public ::testing::Test {
protected:
    void SetUp() override
    {
        UpdateSettings = C_update_settings();
        UpdateSettings.update_title = L"秋のアップデート";
        UpdateSettings.game_title = L"ヴェルコール物語";
        UpdateSettings.source_dir = L"gamedata";
    }
    void TearDown() override { UpdateSettings = C_update_settings(); }

    // An installation folder with the engine's executable, as a full setup leaves it.
    std::wstring make_installation()
    {
        const std::wstring game = temp / L"Game";
        write_file(game + L"\\VelkorEngine.exe", "MZ");
        return game;
    }

    C_temp_dir temp;
};

using SourceCheck = UpdateChecks;

TEST_F(SourceCheck, MissingOrFileGamedataIsTheFolderMessageBeforeAnyEntry)
{
    C_current_dir here(temp.path());
    UpdateSettings.copy_files = {L""};
    {
        C_box_recorder boxes;
        EXPECT_FALSE(check_update_sources());
        EXPECT_EQ(boxes.texts(), failure(expected::no_source_folder));
        for (const auto& box : boxes.boxes()) {
            EXPECT_EQ(box.caption, L"秋のアップデート");
            EXPECT_EQ(box.flags, 0x30u);
        }
    }
    write_file(temp / L"gamedata", "not a folder");
    {
        C_box_recorder boxes;
        EXPECT_FALSE(check_update_sources());
        EXPECT_EQ(boxes.texts(), failure(expected::no_source_folder));
    }
}

TEST_F(SourceCheck, EmptyEntryIsReportedByItsPosition)
{
    C_current_dir here(temp.path());
    write_file(temp / L"gamedata\\a.dat", "a");
    UpdateSettings.copy_files = {L"a.dat", L"", L"never looked at"};

    C_box_recorder boxes;
    EXPECT_FALSE(check_update_sources());
    EXPECT_EQ(boxes.texts(), failure(expected::entry_empty(2)));
}

TEST_F(SourceCheck, MissingEntryIsShownAsJoinedAndEndsTheCheck)
{
    C_current_dir here(temp.path());
    write_file(temp / L"gamedata\\a.dat", "a");
    UpdateSettings.copy_files = {L"a.dat", L"Movie\\op.MPG", L""};

    C_box_recorder boxes;
    EXPECT_FALSE(check_update_sources());
    EXPECT_EQ(boxes.texts(), failure(expected::entry_missing(L"gamedata\\Movie\\op.MPG")));
}

TEST_F(SourceCheck, FilesFoldersAndNestedFilesPass)
{
    C_current_dir here(temp.path());
    write_file(temp / L"gamedata\\a.dat", "a");
    write_file(temp / L"gamedata\\movie\\op.mpg", "m");
    make_folder(temp / L"gamedata\\empty");
    UpdateSettings.copy_files = {L"a.dat", L"movie", L"movie\\op.mpg", L"empty", L"a.dat"};

    C_box_recorder boxes;
    EXPECT_TRUE(check_update_sources());
    UpdateSettings.copy_files.clear();
    EXPECT_TRUE(check_update_sources());
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(SourceCheck, EntryReachingOutsideIsRefusedEvenWhereItExists)
{
    C_current_dir here(temp.path());
    write_file(temp / L"gamedata\\a.dat", "a");
    write_file(temp / L"evil.bin", "beside gamedata, outside the update's files");
    UpdateSettings.copy_files = {L"a.dat", L"..\\evil.bin"};

    C_box_recorder boxes;
    EXPECT_FALSE(check_update_sources());
    EXPECT_EQ(boxes.texts(), failure(expected::entry_outside(2)));
}

TEST_F(SourceCheck, EntryThatNoListingFindsByItsNameIsMissing)
{
    // The platform's look-up takes each of these for a stored name; the copy,
    // which lists names, would find nothing and copy nothing.
    C_current_dir here(temp.path());
    write_file(temp / L"gamedata\\readme.txt", "r");
    write_file(temp / L"gamedata\\sys\\cfg.bin", "c");
    write_file(temp / L"gamedata\\DataFile.pak", "d");
    std::vector<std::wstring> entries = {L"readme.txt.", L"readme.txt ", L"sys.\\cfg.bin", L"readme.txt\\"};
    wchar_t short_path[MAX_PATH] = {};
    GetShortPathNameW((temp / L"gamedata\\DataFile.pak").c_str(), short_path, MAX_PATH);
    const std::wstring short_name = path_get_file_name(short_path);
    if (!short_name.empty() && short_name != L"DataFile.pak") entries.push_back(short_name);

    for (const std::wstring& entry : entries) {
        SCOPED_TRACE(testing::PrintToString(entry));
        UpdateSettings.copy_files = {entry};
        C_box_recorder boxes;
        EXPECT_FALSE(check_update_sources());
        EXPECT_EQ(boxes.texts(), failure(expected::entry_missing(L"gamedata\\" + entry)));
    }
}

TEST_F(SourceCheck, NamesInAnyLetterCaseAndForwardSlashesPass)
{
    C_current_dir here(temp.path());
    write_file(temp / L"gamedata\\sys\\Cfg.bin", "c");
    write_file(temp / L"gamedata\\\xFF21.dat", "full-width capital A");
    write_file(temp / L"gamedata\\\x00C9t\xE9.txt", "accented");
    UpdateSettings.copy_files = {L"sys/cfg.bin", L"SYS\\CFG.BIN", L"\xFF41.dat", L"\x00E9T\x00C9.TXT", L"sys/"};

    C_box_recorder boxes;
    EXPECT_TRUE(check_update_sources());
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(SourceCheck, FindingsListEveryProblemInEntryOrderAndTheUpdaterStopsAtTheFirst)
{
    C_current_dir here(temp.path());
    const std::vector<std::wstring> entries = {L"a.dat", L"", L"C:\\evil.bin", L"gone.dat", L"a.dat", L"a.dat."};
    EXPECT_EQ(find_source_problems(L"gamedata", entries),
              (std::vector<C_source_finding>{{0, expected::no_source_folder}}));

    write_file(temp / L"gamedata\\a.dat", "a");
    EXPECT_EQ(find_source_problems(L"gamedata", entries),
              (std::vector<C_source_finding>{
                  {2, expected::entry_empty(2)},
                  {3, expected::entry_outside(3)},
                  {4, expected::entry_missing(L"gamedata\\gone.dat")},
                  {6, expected::entry_missing(L"gamedata\\a.dat.")},
              }));
    UpdateSettings.copy_files = entries;
    C_box_recorder boxes;
    EXPECT_FALSE(check_update_sources());
    EXPECT_EQ(boxes.texts(), failure(expected::entry_empty(2)));
}

TEST_F(SourceCheck, UnlistableFolderOfAnEntryIsMissing)
{
    C_current_dir here(temp.path());
    write_file(temp / L"gamedata\\movie\\op.mpg", "op");
    write_file(temp / L"gamedata\\movie\\locked\\ed.mpg", "ed");
    write_file(temp / L"gamedata\\sys\\cfg.bin", "cfg");
    C_listing_denied movie_part(temp / L"gamedata\\movie\\locked");
    C_listing_denied sys(temp / L"gamedata\\sys");
    std::string why_not;
    if (!movie_part.in_effect(why_not) || !sys.in_effect(why_not)) GTEST_SKIP() << why_not;

    // The copy would leave out what it cannot list, and the update would end as if complete.
    for (const std::wstring entry : {L"movie", L"sys", L"sys\\cfg.bin"}) {
        SCOPED_TRACE(testing::PrintToString(entry));
        UpdateSettings.copy_files = {entry};
        C_box_recorder boxes;
        EXPECT_FALSE(check_update_sources());
        EXPECT_EQ(boxes.texts(), failure(expected::entry_missing(L"gamedata\\" + entry)));
    }
}

using InstallInfo = UpdateChecks;

TEST_F(InstallInfo, MissingKeyNamesTheGameBetweenCornerBrackets)
{
    UpdateSettings.reg_path = unused_reg_path();
    UpdateSettings.game_title = L"\"Velkor\" 〜 第2章";
    UpdateSettings.exe_dir = L"untouched";

    C_box_recorder boxes;
    EXPECT_FALSE(read_install_info());
    EXPECT_EQ(boxes.texts(), failure(expected::no_registry_key(L"\"Velkor\" 〜 第2章")));
    EXPECT_EQ(UpdateSettings.exe_dir, L"untouched");
}

TEST_F(InstallInfo, FirstMissingValueIsNamedAndLaterOnesAreNotRead)
{
    struct Case {
        const wchar_t* absent;
        std::vector<std::wstring> expected;  // exe_dir, dat_dir, dat_setup afterwards
    };
    const Case cases[] = {
        {L"exe_dir", {L"old exe", L"old dat", L"old setup"}},
        {L"dat_dir", {L"C:\\Game", L"old dat", L"old setup"}},
        {L"dat_setup", {L"C:\\Game", L"D:\\dat", L"old setup"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.absent);
        C_test_reg_key key;
        const std::pair<const wchar_t*, const wchar_t*> values[] = {
            {L"exe_dir", L"C:\\Game"}, {L"dat_dir", L"D:\\dat"}, {L"dat_setup", L"full"}};
        for (const auto& value : values) {
            if (std::wstring(value.first) != c.absent) key.set_string(value.first, value.second);
        }
        UpdateSettings.reg_path = key.reg_path();
        UpdateSettings.exe_dir = L"old exe";
        UpdateSettings.dat_dir = L"old dat";
        UpdateSettings.dat_setup = L"old setup";

        C_box_recorder boxes;
        EXPECT_FALSE(read_install_info());
        EXPECT_EQ(boxes.texts(), failure(expected::no_registry_value(c.absent)));
        EXPECT_EQ((std::vector<std::wstring>{UpdateSettings.exe_dir, UpdateSettings.dat_dir, UpdateSettings.dat_setup}),
                  c.expected);
    }
}

TEST_F(InstallInfo, ValueOf1039CharactersIsReadAndLongerOnesCountAsMissing)
{
    C_test_reg_key key;
    const std::wstring longest(1039, L'x');
    const std::wstring too_long(1040, L'y');
    key.set_string(L"exe_dir", longest);
    key.set_string(L"dat_dir", too_long);
    // The same 1040 characters stored without a null fit the buffer exactly,
    // leaving no room for the terminator: still too long.
    key.set_raw(L"dat_setup", REG_SZ, too_long.data(), static_cast<DWORD>(too_long.size() * sizeof(wchar_t)));
    // And 1039 characters without a null are read whole.
    key.set_raw(L"bare", REG_SZ, longest.data(), static_cast<DWORD>(longest.size() * sizeof(wchar_t)));

    UpdateSettings.reg_path = key.reg_path();
    {
        C_box_recorder boxes;
        EXPECT_FALSE(read_install_info());
        EXPECT_EQ(boxes.texts(), failure(expected::no_registry_value(L"dat_dir")));
        EXPECT_EQ(UpdateSettings.exe_dir, longest);
    }

    HKEY open = key.open_for_reading();
    C_box_recorder boxes;
    std::wstring out = L"unchanged";
    EXPECT_FALSE(read_registry_string(open, L"dat_setup", out));
    EXPECT_EQ(out, L"unchanged");
    EXPECT_TRUE(read_registry_string(open, L"bare", out));
    EXPECT_EQ(out, longest);
    RegCloseKey(open);
    EXPECT_EQ(boxes.texts(), failure(expected::no_registry_value(L"dat_setup")));
}

TEST_F(InstallInfo, DataIsTakenUpToItsFirstNullAndNeverBeyondWhatWasReturned)
{
    C_test_reg_key key;
    const wchar_t embedded[] = L"full\0junk";
    key.set_raw(L"embedded", REG_SZ, embedded, sizeof embedded);
    // Three characters and half of a fourth, stored as binary: the type is not examined.
    const unsigned char odd[] = {'a', 0, 'b', 0, 'c', 0, 'd'};
    key.set_raw(L"odd", REG_BINARY, odd, sizeof odd);
    const wchar_t bare[] = {L'C', L':', L'\\', L'G'};
    key.set_raw(L"bare", REG_SZ, bare, sizeof bare);

    HKEY open = key.open_for_reading();
    C_box_recorder boxes;
    std::wstring out;
    EXPECT_TRUE(read_registry_string(open, L"embedded", out));
    EXPECT_EQ(out, L"full");
    EXPECT_TRUE(read_registry_string(open, L"odd", out));
    EXPECT_EQ(out, L"abc");
    EXPECT_TRUE(read_registry_string(open, L"bare", out));
    EXPECT_EQ(out, L"C:\\G");
    RegCloseKey(open);
    EXPECT_TRUE(boxes.boxes().empty());
}

using InstallFolder = UpdateChecks;

TEST_F(InstallFolder, MissingFolderOrAFileIsTheFolderMessageWithTheDestination)
{
    write_file(temp / L"file", "x");
    for (const std::wstring& folder : {temp / L"nowhere", temp / L"file"}) {
        SCOPED_TRACE(folder);
        UpdateSettings.exe_dir = folder;
        UpdateSettings.dest_dir = L"stale";
        UpdateSettings.dat_setup = L"full";
        C_box_recorder boxes;
        EXPECT_FALSE(check_install_folder());
        EXPECT_EQ(boxes.texts(), failure(expected::no_install_folder(folder)));
        EXPECT_EQ(UpdateSettings.dest_dir, folder);
    }
}

TEST_F(InstallFolder, EngineMissingOrAFolderIsTheEngineMessage)
{
    make_folder(temp / L"Empty");
    make_folder(temp / L"Odd\\VelkorEngine.exe");
    for (const std::wstring& folder : {temp / L"Empty", temp / L"Odd"}) {
        SCOPED_TRACE(folder);
        UpdateSettings.exe_dir = folder;
        UpdateSettings.dat_setup = L"full";
        C_box_recorder boxes;
        EXPECT_FALSE(check_install_folder());
        EXPECT_EQ(boxes.texts(), failure(expected::no_engine));
    }
}

TEST_F(InstallFolder, SetupKindMustBeExactlyFull)
{
    const std::wstring game = make_installation();
    for (const wchar_t* kind : {L"Full", L"full "}) {
        SCOPED_TRACE(kind);
        UpdateSettings.exe_dir = game;
        UpdateSettings.dat_setup = kind;
        C_box_recorder boxes;
        EXPECT_FALSE(check_install_folder());
        // Only the setup-kind message: the folder and the engine have passed.
        EXPECT_EQ(boxes.texts(), failure(expected::not_full_setup));
    }
}

TEST_F(InstallFolder, FullInstallationPassesAndATrailingBackslashIsKeptThroughThePrompt)
{
    const std::wstring game = make_installation() + L"\\";
    C_test_reg_key key;
    key.set_string(L"exe_dir", game);
    key.set_string(L"dat_dir", L"D:\\ヴェルコール");
    key.set_string(L"dat_setup", L"full");
    UpdateSettings.reg_path = key.reg_path();

    C_box_recorder boxes;
    boxes.answer(IDYES);
    EXPECT_TRUE(read_install_info());
    EXPECT_EQ(UpdateSettings.dat_dir, L"D:\\ヴェルコール");
    EXPECT_EQ(UpdateSettings.dat_setup, L"full");
    EXPECT_TRUE(check_install_folder());
    EXPECT_EQ(UpdateSettings.dest_dir, game);
    EXPECT_TRUE(confirm_update());
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text,
              expected::confirm_destination(game));
}

// The update's files as the copy lists them, and an installation whose
// destinations lead elsewhere through links made as a player's tools make them.
class DestinationLinks : public UpdateChecks {
protected:
    void SetUp() override
    {
        UpdateChecks::SetUp();
        game = make_installation();
        UpdateSettings.dest_dir = game;
        write_file(temp / L"gamedata\\data.pak", "new pak");
        write_file(temp / L"gamedata\\maps\\new.map", "new map");
        UpdateSettings.copy_files = {L"data.pak", L"maps"};
    }

    // The checks before the prompt, over what the source check lists.
    static bool check_destination_links() { return check_update_sources() && check_ready_to_copy(); }

    std::wstring game;
    C_current_dir here{temp.path()};
};

TEST_F(DestinationLinks, PlainDestinationsPass)
{
    write_file(game + L"\\data.pak", "old pak");
    make_folder(game + L"\\maps");
    C_box_recorder boxes;
    EXPECT_TRUE(check_destination_links());
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(DestinationLinks, AFileThatIsASymbolicLinkIsRefusedAndWhatItLeadsToIsLeftAlone)
{
    const std::wstring target = temp / L"elsewhere\\shared.pak";
    write_file(target, "someone else's file");
    if (!make_file_link(game + L"\\data.pak", target)) GTEST_SKIP() << "no file link could be made here";

    C_box_recorder boxes;
    EXPECT_FALSE(check_destination_links());
    EXPECT_EQ(boxes.texts(), failure(expected::dest_is_link(game + L"\\data.pak")));
    EXPECT_EQ(read_file(target), "someone else's file");
}

TEST_F(DestinationLinks, AFolderLinkedToAnotherDriveIsRefusedAndWhatItLeadsToIsLeftAlone)
{
    // Under Wine the host's root is drive Z:, the prefix's own folders drive C:.
    const std::wstring other = L"Z:\\tmp\\updater_links_" + std::to_wstring(GetCurrentProcessId());
    if (!running_on_wine() || GetDriveTypeW(L"Z:\\") == DRIVE_NO_ROOT_DIR) {
        GTEST_SKIP() << "no second drive to link to here";
    }
    write_file(other + L"\\old.map", "on another drive");
    const bool linked = make_folder_link(game + L"\\maps", other);
    C_box_recorder boxes;
    const bool passed = linked && check_destination_links();
    const C_tree there = snapshot_tree(other);
    remove_link(game + L"\\maps");
    remove_folder_tree(other);
    if (!linked) GTEST_SKIP() << "no folder link could be made here";

    EXPECT_FALSE(passed);
    EXPECT_EQ(boxes.texts(), failure(expected::dest_on_other_drive(game + L"\\maps")));
    EXPECT_EQ(there, (C_tree{{L"old.map", "on another drive"}}));
}

TEST_F(DestinationLinks, AFolderLinkedOnTheSameDrivePasses)
{
    make_folder(temp / L"moved_maps");
    if (!make_folder_link(game + L"\\maps", temp / L"moved_maps")) GTEST_SKIP() << "no folder link could be made here";
    C_box_recorder boxes;
    EXPECT_TRUE(check_destination_links());
    EXPECT_TRUE(boxes.boxes().empty());
    remove_link(game + L"\\maps");
}

using Confirmation = UpdateChecks;

TEST_F(Confirmation, QuestionShowsTheDestinationWithNoAsDefault)
{
    UpdateSettings.dest_dir = L"C:\\Program Files\\Velkor";
    C_box_recorder boxes;
    boxes.answer(IDYES);

    EXPECT_TRUE(confirm_update());
    ASSERT_EQ(boxes.boxes().size(), 1u);
    const C_shown_box& box = boxes.boxes()[0];
    EXPECT_EQ(box.text, expected::confirm_destination(L"C:\\Program Files\\Velkor"));
    EXPECT_EQ(box.caption, L"秋のアップデート");
    EXPECT_EQ(box.flags, static_cast<UINT>(MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2));
    EXPECT_EQ(box.flags, 0x144u);
    EXPECT_EQ(box.owner, nullptr);
}

TEST_F(Confirmation, NoStopsWithOneInformationMessageOnly)
{
    // Enter at once picks the default button, No: the box answers IDNO.
    UpdateSettings.dest_dir = L"C:\\Game";
    C_box_recorder boxes;
    boxes.answer(IDNO);

    EXPECT_FALSE(confirm_update());
    ASSERT_EQ(boxes.boxes().size(), 2u);
    EXPECT_EQ(boxes.boxes()[1].text, expected::update_cancelled);
    EXPECT_EQ(boxes.boxes()[1].caption, L"秋のアップデート");
    EXPECT_EQ(boxes.boxes()[1].flags, 0x40u);
}

TEST_F(Confirmation, BoxThatCouldNotBeShownIsNoConsent)
{
    C_box_recorder boxes;
    boxes.answer(0);
    EXPECT_FALSE(confirm_update());
    EXPECT_EQ(boxes.texts().back(), expected::update_cancelled);
}

using DeleteEntries = UpdateChecks;

TEST_F(DeleteEntries, FormIsCheckedWithTheUpdatesOwnFilesAfterTheCopyEntries)
{
    C_current_dir here(temp.path());
    write_file(temp / L"gamedata\\a.dat", "a");
    UpdateSettings.copy_files = {L"a.dat"};
    UpdateSettings.delete_files = {L"data\\old.scr", L"C:\\Windows\\x.dll", L""};
    C_box_recorder boxes;
    EXPECT_FALSE(check_update_sources());
    EXPECT_EQ(boxes.texts(), failure(expected::delete_entry_outside(2)));
}

TEST_F(DeleteEntries, AFolderOfTheInstallationStopsTheUpdateBeforeThePrompt)
{
    const std::wstring game = make_installation();
    write_file(game + L"\\data\\old.scr", "old");
    UpdateSettings.dest_dir = game;
    UpdateSettings.delete_files = {L"data\\old.scr", L"never\\had.txt"};
    {
        C_box_recorder boxes;
        EXPECT_TRUE(check_delete_entries());
        EXPECT_TRUE(boxes.boxes().empty());
    }

    make_folder(game + L"\\legacy");
    C_test_reg_key key;
    key.set_string(L"exe_dir", game);
    key.set_string(L"dat_dir", game);
    key.set_string(L"dat_setup", L"full");
    C_current_dir here(temp.path());
    make_folder(temp / L"gamedata");
    std::string reg_path = to_utf8(key.reg_path());
    for (std::size_t at = 0; (at = reg_path.find('\\', at)) != std::string::npos; at += 2) reg_path.insert(at, 1, '\\');
    write_file(temp / L"update.ini", "#REG_PATH = \"" + reg_path + "\"\n#UPDATE_TITLE = \"u\"\n#GAME_TITLE = \"g\"\n"
                                     "#DELETE_FILE = \"data\\\\old.scr\"\n#DELETE_FILE = \"legacy\"\n");
    C_box_recorder boxes;
    boxes.answer(IDYES);
    EXPECT_FALSE(run_update_sequence());
    EXPECT_EQ(boxes.texts(), failure(expected::delete_entry_is_folder(2, game + L"\\legacy")));
    EXPECT_EQ(read_file(game + L"\\data\\old.scr"), "old");
}

using Sequence = UpdateChecks;

TEST_F(Sequence, UpdateFilesAreCheckedBeforeTheRegistry)
{
    // Whatever reads the script finds one that names a key no machine has; the
    // missing "gamedata" must be all the user hears about.
    C_current_dir here(temp.path());
    write_file(temp / L"update.ini", "#REG_PATH = \"" + std::string("UpdaterTests\\\\NoSuchGame") +
                                         "\"\n#UPDATE_TITLE = \"u\"\n#GAME_TITLE = \"g\"\n");

    C_box_recorder boxes;
    EXPECT_FALSE(run_update_sequence());
    EXPECT_EQ(boxes.texts(), failure(expected::no_source_folder));
}

using ReadyToCopy = UpdateChecks;

TEST_F(ReadyToCopy, CancelAtTheBoxForAFileInUseIsTheGeneralFailure)
{
    C_current_dir here(temp.path());
    write_file(temp / L"gamedata\\voice.pak", "new");
    UpdateSettings.copy_files = {L"voice.pak"};
    UpdateSettings.dest_dir = make_installation();
    const std::wstring held_path = UpdateSettings.dest_dir + L"\\voice.pak";
    write_file(held_path, "old");
    ASSERT_TRUE(check_update_sources());
    HANDLE held = CreateFileW(held_path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    C_box_recorder boxes;
    boxes.answer(IDRETRY);
    boxes.answer(IDCANCEL);

    const bool ready = check_ready_to_copy();
    CloseHandle(held);

    EXPECT_FALSE(ready);
    EXPECT_EQ(boxes.texts(), (std::vector<std::wstring>{expected::dest_in_use(held_path), expected::dest_in_use(held_path),
                                                         expected::update_failed}));
    ASSERT_EQ(boxes.boxes().size(), 3u);
    EXPECT_EQ(boxes.boxes()[0].flags, static_cast<UINT>(MB_RETRYCANCEL | MB_ICONWARNING));
    EXPECT_EQ(boxes.boxes()[0].caption, L"秋のアップデート");
    EXPECT_EQ(read_file(held_path), "old");
}

TEST_F(ReadyToCopy, AFileTheUpdateRemovesIsHeldToWhatAReplacedOneIs)
{
    C_current_dir here(temp.path());
    make_folder(temp / L"gamedata");
    UpdateSettings.dest_dir = make_installation();
    UpdateSettings.delete_files = {L"legacy\\old.dll", L"data\\old_scene.scr", L"never\\had.txt"};
    const std::wstring dll = UpdateSettings.dest_dir + L"\\legacy\\old.dll";
    const std::wstring scene = UpdateSettings.dest_dir + L"\\data\\old_scene.scr";
    write_file(dll, "old dll");
    write_file(scene, "old scene");
    ASSERT_TRUE(check_update_sources());
    ASSERT_TRUE(check_delete_entries());
    {
        HANDLE held = CreateFileW(dll.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        C_box_recorder boxes;
        boxes.answer(IDCANCEL);
        const bool ready = check_ready_to_copy();
        CloseHandle(held);
        EXPECT_FALSE(ready);
        EXPECT_EQ(boxes.texts(), (std::vector<std::wstring>{expected::dest_in_use(dll), expected::update_failed}));
    }
    SetFileAttributesW(scene.c_str(), FILE_ATTRIBUTE_READONLY);
    C_box_recorder boxes;
    const bool ready = check_ready_to_copy();
    SetFileAttributesW(scene.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_FALSE(ready);
    EXPECT_EQ(boxes.texts(), failure(expected::delete_read_only(scene)));
    EXPECT_EQ(read_file(dll), "old dll");
    EXPECT_EQ(read_file(scene), "old scene");
}

TEST_F(ReadyToCopy, TheCopyWritesEveryFileInWholeClustersAndItsJournal)
{
    const std::vector<C_copy_item> files{{L"a.dat", 1}, {L"data\\b.dat", 4096}, {L"data\\c.dat", 4097}};
    const std::vector<const C_copy_item*> listed{&files[0], &files[1], &files[2]};
    // 1 + 1 + 2 clusters of data, and one for the journal of so few steps.
    EXPECT_EQ(bytes_the_copy_writes(listed, 4096), 5u * 4096);
    const std::uint64_t bytes = bytes_the_copy_writes(listed, 1);
    EXPECT_GT(bytes, 1u + 4096 + 4097);
    // Each step's record carries the stamps of what it places and replaces.
    EXPECT_LT(bytes, 1u + 4096 + 4097 + 2048);
}

}  // namespace

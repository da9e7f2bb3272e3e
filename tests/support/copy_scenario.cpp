#include "support/copy_scenario.h"

#include <windows.h>

#include <iterator>
#include <stdexcept>

#include "support/utf8_text.h"

namespace {

struct C_old_file {
    const wchar_t* rel;
    const char* bytes;
    DWORD attributes;
};

const C_old_file OLD_FILES[] = {
    {L"a.dat", "old a", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE},
    {L"sub\\b.dat", "old b", FILE_ATTRIBUTE_ARCHIVE},
    {L"Mixed.TXT", "old mixed", FILE_ATTRIBUTE_ARCHIVE},
    {L"keep.txt", "not in the update", FILE_ATTRIBUTE_READONLY},
    {L"gone\\old.dll", "stale", FILE_ATTRIBUTE_ARCHIVE},
    {L"gone\\deeper\\old.scr", "old scene", FILE_ATTRIBUTE_ARCHIVE},
    {L"saves\\old.cfg", "old settings", FILE_ATTRIBUTE_HIDDEN},
    {L"saves\\player.sav", "the player's", FILE_ATTRIBUTE_ARCHIVE},
};

// What the update removes: a folder's only files, one of them a folder below
// (both folders go), a file beside a player's (its folder stays), and a file
// this installation never had.
const wchar_t* const REMOVED_FILES[] = {L"gone\\old.dll", L"gone\\deeper\\old.scr", L"saves\\old.cfg",
                                        L"never\\had.dat"};

struct C_new_file {
    const wchar_t* rel;
    const char* bytes;
};

const C_new_file NEW_FILES[] = {
    {L"a.dat", "new a"},         {L"new\\deep\\c.dat", "new c"}, {L"sub\\b.dat", "new b"},
    {L"mixed.txt", "new mixed"}, {L"n.dat", "new n"},
};

}  // namespace

C_copy_scenario::C_copy_scenario()
{
    for (const C_new_file& file : NEW_FILES) write_file(source() + L"\\" + file.rel, file.bytes);
    for (const wchar_t* rel : {L"a.dat", L"new\\deep\\c.dat", L"sub\\b.dat", L"mixed.txt", L"n.dat", L"n.dat",
                               L"a.dat"}) {
        std::uint64_t size = 0;
        for (const C_new_file& file : NEW_FILES) {
            if (std::wstring(file.rel) == rel) size = std::string(file.bytes).size();
        }
        files.push_back(C_copy_item{rel, size});
    }
    removed.assign(std::begin(REMOVED_FILES), std::end(REMOVED_FILES));
    install_old_files();
    const C_copy_outcome outcome = apply();
    if (outcome.failure) {
        throw std::runtime_error("the scenario's update does not apply: failure " +
                                 std::to_string(static_cast<int>(outcome.failure.what)) + " at " +
                                 to_utf8(outcome.failure.path) + ", code " + std::to_string(outcome.failure.code));
    }
    after = state();
    install_old_files();
    before = state();
}

void C_copy_scenario::install_old_files() const
{
    remove_folder_tree(dest());
    make_folder(dest());
    for (const C_old_file& file : OLD_FILES) {
        write_file(dest() + L"\\" + file.rel, file.bytes);
        age_file(dest() + L"\\" + file.rel, file.attributes);
    }
}

C_copy_outcome C_copy_scenario::apply() const
{
    C_quiet_progress quiet;
    return copy_into_installation(source(), dest(), files, removed, quiet);
}

C_copy_scenario::C_state C_copy_scenario::state() const
{
    return {snapshot_tree(dest()), snapshot_details(dest())};
}

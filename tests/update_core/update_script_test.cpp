#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "support/box_recorder.h"
#include "support/expected_texts.h"
#include "support/temp_dir.h"
#include "update/update_sequence.h"
#include "update_core/script_parser.h"
#include "update_core/update_settings.h"

namespace {

// Allocations above this fail while a test lowers it, as in a 32-bit process
// whose address space a huge script has used up.
std::size_t allocation_limit = SIZE_MAX;

class C_allocation_limit {
public:
    explicit C_allocation_limit(std::size_t limit) { allocation_limit = limit; }
    ~C_allocation_limit() { allocation_limit = SIZE_MAX; }
    C_allocation_limit(const C_allocation_limit&) = delete;
    C_allocation_limit& operator=(const C_allocation_limit&) = delete;
};

}  // namespace

void* operator new(std::size_t size)
{
    if (size > allocation_limit) throw std::bad_alloc();
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

namespace {

std::string to_ansi(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &bytes[0], size, nullptr, nullptr);
    return bytes;
}

// Runs each test inside its own folder, as start-up makes the updater's folder current.
class UpdateScript : public testing::Test {
protected:
    void SetUp() override
    {
        wchar_t previous[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, previous);
        previous_dir_ = previous;
        ASSERT_TRUE(SetCurrentDirectoryW(folder_.path().c_str()));
        UpdateSettings = C_update_settings();
        UpdateSettings.source_dir = L"unset";
        clear_update_settings();
    }

    void TearDown() override
    {
        SetCurrentDirectoryW(previous_dir_.c_str());
        UpdateSettings = C_update_settings();
    }

    void write_script(const std::wstring& text) { write_file(folder_ / L"update.ini", to_ansi(text)); }

    // The captions and texts of the boxes shown, in order.
    static std::vector<std::pair<std::wstring, std::wstring>> shown(const C_box_recorder& boxes)
    {
        std::vector<std::pair<std::wstring, std::wstring>> result;
        for (const auto& box : boxes.boxes()) {
            EXPECT_EQ(box.flags, static_cast<UINT>(MB_OK | MB_ICONWARNING));
            result.emplace_back(box.caption, box.text);
        }
        return result;
    }

    using boxes_t = std::vector<std::pair<std::wstring, std::wstring>>;
    C_temp_dir folder_;
    std::wstring previous_dir_;
};

}  // namespace

TEST_F(UpdateScript, AbsentScriptIsReportedWithEmptyCaptions)
{
    C_box_recorder boxes;
    EXPECT_FALSE(load_update_script());
    EXPECT_EQ(shown(boxes), (boxes_t{{L"", expected::script_not_found}, {L"", expected::update_failed}}));
    EXPECT_EQ(UpdateSettings.source_dir, L"unset");
}

TEST_F(UpdateScript, ScriptTooLargeForMemoryIsReportedAsUnreadable)
{
    write_file(folder_ / L"update.ini", "#REG_PATH = \"R\"\n#UPDATE_TITLE = \"U\"\n#GAME_TITLE = \"G\"\n//" +
                                            std::string(4 << 20, 'x') + "\n#COPY_FILE = \"a.dat\"\n");
    C_box_recorder boxes;
    bool loaded = true;
    {
        C_allocation_limit limit(1 << 20);
        loaded = load_update_script();
    }
    EXPECT_FALSE(loaded);
    EXPECT_EQ(shown(boxes), (boxes_t{{L"", expected::script_not_found}, {L"", expected::update_failed}}));
    EXPECT_EQ(UpdateSettings.source_dir, L"unset");
}

TEST_F(UpdateScript, SequenceStopsAfterTheTwoWarningsWhenTheScriptIsAbsent)
{
    UpdateSettings.update_title = L"from an earlier run";
    C_box_recorder boxes;
    EXPECT_FALSE(run_update_sequence());
    EXPECT_EQ(shown(boxes), (boxes_t{{L"", expected::script_not_found}, {L"", expected::update_failed}}));
}

TEST_F(UpdateScript, EmptyScriptIsReadAndLacksTheRegistryPath)
{
    write_script(L"");
    C_box_recorder boxes;
    EXPECT_TRUE(load_update_script());
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_EQ(UpdateSettings.source_dir, L"gamedata");
    EXPECT_EQ(UpdateSettings.reg_path, L"");
    EXPECT_TRUE(UpdateSettings.copy_files.empty());

    EXPECT_FALSE(validate_update_script());
    EXPECT_EQ(shown(boxes), (boxes_t{{L"", expected::no_reg_path}, {L"", expected::update_failed}}));
}

TEST_F(UpdateScript, ReadsACompleteScriptWithCrLfLines)
{
    write_script(
        L"// 夏のアップデート\r\n"
        L"#REG_PATH = \"Velkor\\\\Saga\"\r\n"
        L"\r\n"
        L"  \t \r\n"
        L"#GAME_TITLE = \"最初の名前\"\r\n"
        L"#GAME_TITLE\t=  \"ヴェルコール・サーガ\"\r\n"
        L"#UPDATE_TITLE=\"夏のパッチ 1.2\"\r\n"
        L"#COPY_FILE = \"movie\"\r\n"
        L"#COPY_FILE = \"data\\\\001.dat\" // the rest is ignored\r\n"
        L"#COPY_FILE = \"\"\r\n"
        L"#COPY_FILE = \"movie\"\r\n"
        L"//#COPY_FILE = \"commented out\"\r\n"
        L"  #COPY_FILE = \"indented\"\r\n"
        L"#COPY_FILE = unquoted\r\n"
        L"#copy_file = \"lower case\"\r\n"
        L"#COPY_FILE = \"no line end\"");
    C_box_recorder boxes;
    ASSERT_TRUE(load_update_script());
    EXPECT_EQ(UpdateSettings.reg_path, L"Velkor\\Saga");
    EXPECT_EQ(UpdateSettings.game_title, L"ヴェルコール・サーガ");
    EXPECT_EQ(UpdateSettings.update_title, L"夏のパッチ 1.2");
    EXPECT_EQ(UpdateSettings.copy_files,
              (std::vector<std::wstring>{L"movie", L"data\\001.dat", L"", L"movie", L"no line end"}));
    EXPECT_EQ(UpdateSettings.source_dir, L"gamedata");
    EXPECT_TRUE(validate_update_script());
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(UpdateScript, EachMissingKeyHasItsMessage)
{
    struct {
        const wchar_t* script;
        boxes_t expected;
    } cases[] = {
        // The captions are the update title as far as the script gave one.
        {L"#UPDATE_TITLE = \"U\"\n#GAME_TITLE = \"G\"\n", {{L"U", expected::no_reg_path}, {L"U", expected::update_failed}}},
        {L"#REG_PATH = \"\"\n#UPDATE_TITLE = \"U\"\n#GAME_TITLE = \"G\"\n", {{L"U", expected::no_reg_path}, {L"U", expected::update_failed}}},
        {L"  #REG_PATH = \"R\"\n#UPDATE_TITLE = \"U\"\n", {{L"U", expected::no_reg_path}, {L"U", expected::update_failed}}},
        {L"#REG_PATH = R\n#UPDATE_TITLE = \"U\"\n", {{L"U", expected::no_reg_path}, {L"U", expected::update_failed}}},
        {L"#REG_PATH = \"R\"\n#GAME_TITLE = \"G\"\n", {{L"", expected::no_update_title}, {L"", expected::update_failed}}},
        {L"#REG_PATH = \"R\"\n#UPDATE_TITLE = \"U\"\n", {{L"U", expected::no_game_title}, {L"U", expected::update_failed}}},
        {L"#REG_PATH = \"R\"\n#UPDATE_TITLE = \"U\"\n#GAME_TITLE = \"\"\n", {{L"U", expected::no_game_title}, {L"U", expected::update_failed}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.script)));
        clear_update_settings();
        write_script(c.script);
        C_box_recorder boxes;
        ASSERT_TRUE(load_update_script());
        EXPECT_FALSE(validate_update_script());
        EXPECT_EQ(shown(boxes), c.expected);
    }
}

TEST(ScriptParser, KeepsWhatTheSettingsAlreadyHold)
{
    C_update_settings settings;
    settings.copy_files = {L"earlier"};
    settings.exe_dir = L"C:\\Game";
    parse_update_script(L"#COPY_FILE = \"a\"\n\n#REG_PATH = \"x\"\n#REG_PATH = \"y\"\n#COPY_FILE = \"b\\\"c\"", settings);
    EXPECT_EQ(settings.copy_files, (std::vector<std::wstring>{L"earlier", L"a", L"b\"c"}));
    EXPECT_EQ(settings.reg_path, L"y");
    EXPECT_EQ(settings.exe_dir, L"C:\\Game");
    EXPECT_EQ(settings.source_dir, L"");
}

TEST(ScriptParser, DeleteFileLinesAreReadAsCopyFileLinesAre)
{
    const struct {
        const wchar_t* line;
        bool is_key;
        const wchar_t* value;
    } cases[] = {
        {L"#DELETE_FILE = \"data\\\\old_scene.scr\"", true, L"data\\old_scene.scr"},
        {L"#DELETE_FILE\t=\"legacy/old.dll\" // the rest is ignored", true, L"legacy/old.dll"},
        {L"#DELETE_FILE = \"\"", true, L""},
        {L"#DELETE_FILE = \"say \\\"hi\\\".txt\"", true, L"say \"hi\".txt"},
        {L"  #DELETE_FILE = \"indented\"", false, L""},
        {L"#DELETE_FILE = unquoted", false, L""},
        {L"#delete_file = \"lower case\"", false, L""},
        {L"#DELETEFILE = \"no underscore\"", false, L""},
        {L"//#DELETE_FILE = \"commented out\"", false, L""},
    };
    std::wstring script;
    std::vector<std::wstring> expected_entries;
    for (const auto& c : cases) {
        const C_script_line read = read_script_line(c.line);
        EXPECT_EQ(read.kind == script_line_kind::delete_file, c.is_key) << testing::PrintToString(std::wstring(c.line));
        EXPECT_EQ(read.value, c.value) << testing::PrintToString(std::wstring(c.line));
        script += std::wstring(c.line) + L"\r\n#COPY_FILE = \"between\"\r\n";
        if (c.is_key) expected_entries.push_back(c.value);
    }
    EXPECT_STREQ(script_key_name(script_line_kind::delete_file), L"#DELETE_FILE");

    // In file order, beside the copy entries and never among them.
    C_update_settings settings;
    parse_update_script(script, settings);
    EXPECT_EQ(settings.delete_files, expected_entries);
    EXPECT_EQ(settings.copy_files, std::vector<std::wstring>(std::size(cases), L"between"));
}

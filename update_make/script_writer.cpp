#include "update_make/script_writer.h"

#include "util/text/text.h"

namespace {

std::wstring key_line(const wchar_t* key, const std::wstring& value)
{
    return std::wstring(key) + L" = " + quote_script_value(value) + L"\r\n";
}

}  // namespace

std::wstring quote_script_value(const std::wstring& value)
{
    return L"\"" + replace_all(replace_all(value, L"\\", L"\\\\"), L"\"", L"\\\"") + L"\"";
}

std::wstring compose_update_script(const std::wstring& comment, const C_update_settings& values)
{
    std::wstring text = L"// " + comment + L"\r\n";
    text += key_line(L"#REG_PATH", values.reg_path);
    text += key_line(L"#GAME_TITLE", values.game_title);
    text += key_line(L"#UPDATE_TITLE", values.update_title);
    for (const auto& entry : values.copy_files) text += key_line(L"#COPY_FILE", entry);
    for (const auto& entry : values.delete_files) text += key_line(L"#DELETE_FILE", entry);
    return text;
}

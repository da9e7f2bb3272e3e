#include "nt3/static.h"

#include "util/text/text.h"

namespace NT3 {

Cc_static::Cc_static()
{
    class_name = L"Static";
}

void Cc_static::set_text(const std::wstring& text)
{
    // A static control breaks lines only at CR LF.
    C_window_base::set_text(replace_all(text, L"\n", L"\r\n"));
}

}  // namespace NT3

#include "console/command_line.h"

namespace {

const C_option_spec* find_spec(const std::vector<C_option_spec>& specs, const std::wstring& name)
{
    for (const auto& spec : specs) {
        if (name == spec.name) return &spec;
    }
    return nullptr;
}

}  // namespace

C_command_line read_command_line(const std::vector<std::wstring>& args, const std::vector<C_option_spec>& specs)
{
    C_command_line line;
    const auto fail = [&line](const std::wstring& problem) {
        if (line.problem.empty()) line.problem = problem;
    };
    bool options_ended = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        if (options_ended) {
            line.operands.push_back(arg);
            continue;
        }
        if (arg == L"--") {
            options_ended = true;
            continue;
        }
        if (arg == L"--help" || arg == L"-h" || arg == L"/?") {
            line.help = true;
            continue;
        }
        if (arg == L"--version") {
            line.version = true;
            continue;
        }
        if (arg.size() < 2 || arg[0] != L'-') {
            line.operands.push_back(arg);
            continue;
        }
        const std::size_t equals = arg.compare(0, 2, L"--") == 0 ? arg.find(L'=') : std::wstring::npos;
        const std::wstring name = arg.substr(0, equals);
        const C_option_spec* spec = find_spec(specs, name);
        if (!spec) {
            fail(L"unknown option " + name);
            continue;
        }
        if (!spec->takes_value) {
            if (equals != std::wstring::npos) {
                fail(name + L" takes no value");
            } else {
                line.options.emplace_back(name, std::wstring());
            }
        } else if (equals != std::wstring::npos) {
            line.options.emplace_back(name, arg.substr(equals + 1));
        } else if (i + 1 < args.size()) {
            line.options.emplace_back(name, args[++i]);
        } else {
            fail(name + L" needs a value");
        }
    }
    return line;
}

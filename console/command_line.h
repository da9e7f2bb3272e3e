#pragma once
#include <string>
#include <utility>
#include <vector>

// A console program's arguments read the way people expect of one: options
// anywhere on the line, "--name value" or "--name=value", and --help or
// --version wherever they stand.

struct C_option_spec {
    const wchar_t* name;  // with its dashes: "--exclude"
    bool takes_value;
};

struct C_command_line {
    bool help = false;     // --help, -h or /? anywhere but as an option's value or after "--"
    bool version = false;  // --version likewise
    std::vector<std::pair<std::wstring, std::wstring>> options;  // name and value (empty for a flag), in order
    std::vector<std::wstring> operands;                          // everything else, in order
    std::wstring problem;  // the first usage error, empty when there is none
};

// `args` without the program's own name. An argument that begins with "-" and
// is no known option is a usage error, so a folder whose name begins with "-"
// is given after "--", which ends the options (every argument after it is an
// operand, "--help" too), or as .\-name.
C_command_line read_command_line(const std::vector<std::wstring>& args, const std::vector<C_option_spec>& specs);

// The command line of skinsetup: each sub-command declares its positional
// arguments and options in a table, which drives both parsing and --help.
#pragma once

#include <map>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace zub::tool {

// A mistake on the command line; reported with a hint to --help, exit code 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TOptionInfo {
    const char* Name;   // "--level" or "-o"
    const char* Value;  // placeholder of its value ("LEVEL"), nullptr for a flag
    std::string Help;
};

struct TArgs {
    std::vector<std::string> Positional;
    std::map<std::string, std::string> Values;  // option name -> value ("" for a flag)

    bool Has(const std::string& name) const { return Values.count(name) != 0; }
    std::string Get(const std::string& name, const std::string& fallback = "") const;
};

// What a command writes to: results on Out, errors and warnings on Err.
struct TConsole {
    std::ostream& Out;
    std::ostream& Err;
    bool ErrIsTerminal = false;  // progress is drawn only on a terminal
};

struct TCommand {
    const char* Name;
    const char* Arguments;  // "FOLDER -o OUT.x"
    std::string Summary;
    size_t MinPositional;
    size_t MaxPositional;
    std::vector<TOptionInfo> Options;
    int (*Run)(const TArgs& args, TConsole& console);
};

// Parses the arguments after the command name. Raises UsageError; sets
// `help` when --help or -h is among them.
TArgs ParseArguments(const TCommand& command, const std::vector<std::string>& arguments, bool& help);

void PrintCommandHelp(const TCommand& command, std::ostream& out);

}  // namespace zub::tool

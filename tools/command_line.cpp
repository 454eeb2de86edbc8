#include "tools/command_line.h"

#include <iomanip>

namespace zub::tool {
namespace {

const TOptionInfo* FindOption(const TCommand& command, const std::string& name) {
    for (const TOptionInfo& option : command.Options)
        if (name == option.Name) return &option;
    return nullptr;
}

}  // namespace

std::string TArgs::Get(const std::string& name, const std::string& fallback) const {
    auto it = Values.find(name);
    return it == Values.end() ? fallback : it->second;
}

TArgs ParseArguments(const TCommand& command, const std::vector<std::string>& arguments, bool& help) {
    TArgs args;
    help = false;
    bool optionsEnded = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        std::string argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            args.Positional.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help" || argument == "-h") {
            help = true;
            continue;
        }
        std::string value;
        bool inlineValue = false;
        if (size_t eq = argument.find('='); eq != std::string::npos && argument.compare(0, 2, "--") == 0) {
            value = argument.substr(eq + 1);
            argument.resize(eq);
            inlineValue = true;
        }
        const TOptionInfo* option = FindOption(command, argument);
        if (!option) throw UsageError("unknown option " + argument);
        if (!option->Value) {
            if (inlineValue) throw UsageError("option " + argument + " takes no value");
        } else if (!inlineValue) {
            if (i + 1 >= arguments.size()) throw UsageError("option " + argument + " needs a value " + option->Value);
            value = arguments[++i];
        }
        args.Values[argument] = value;
    }
    if (help) return args;
    if (args.Positional.size() < command.MinPositional) throw UsageError(std::string("missing arguments: ") + command.Arguments);
    if (args.Positional.size() > command.MaxPositional)
        throw UsageError("unexpected argument " + args.Positional[command.MaxPositional]);
    return args;
}

void PrintCommandHelp(const TCommand& command, std::ostream& out) {
    out << "usage: skinsetup " << command.Name << " " << command.Arguments << "\n\n" << command.Summary << "\n";
    if (command.Options.empty()) return;
    out << "\noptions:\n";
    for (const TOptionInfo& option : command.Options) {
        std::string left = std::string(option.Name) + (option.Value ? std::string(" ") + option.Value : "");
        out << "  " << std::left << std::setw(24) << left << option.Help << "\n";
    }
}

}  // namespace zub::tool

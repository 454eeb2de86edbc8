#include "tools/command_line.h"

#include <iomanip>

namespace zub::tool {
namespace {

const TOptionSpec* FindOption(const TCommandSpec& spec, const std::string& name) {
    for (const TOptionSpec& option : spec.Options)
        if (name == option.Name) return &option;
    return nullptr;
}

}  // namespace

std::string TArgs::Get(const std::string& name, const std::string& fallback) const {
    auto it = Values.find(name);
    return it == Values.end() ? fallback : it->second;
}

TArgs ParseArguments(const TCommandSpec& spec, const std::vector<std::string>& arguments, bool& help) {
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
        const TOptionSpec* option = FindOption(spec, argument);
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
    if (args.Positional.size() < spec.MinPositional) throw UsageError(std::string("missing arguments: ") + spec.Arguments);
    if (args.Positional.size() > spec.MaxPositional)
        throw UsageError("unexpected argument " + args.Positional[spec.MaxPositional]);
    return args;
}

void PrintCommandHelp(const TCommandSpec& spec, std::ostream& out) {
    out << "usage: skinsetup " << spec.Name << " " << spec.Arguments << "\n\n" << spec.Summary << "\n";
    if (spec.Options.empty()) return;
    out << "\noptions:\n";
    for (const TOptionSpec& option : spec.Options) {
        std::string left = std::string(option.Name) + (option.Value ? std::string(" ") + option.Value : "");
        out << "  " << std::left << std::setw(24) << left << option.Help << "\n";
    }
}

}  // namespace zub::tool

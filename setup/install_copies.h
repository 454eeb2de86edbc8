// The copies of the installation run, each Addfile entry as a source in the
// work folder and a target in the destination (after a ">", or the source's
// own relative path), checked before anything is
// made: a name the rules of base/path_rules.h refuse, or a path that leaves
// its folder once made full (short names expanded), stops the run.
#pragma once

#include <string>
#include <vector>

#include "base/path_rules.h"
#include "formats/setup_data.h"

namespace zub {

struct TInstallCopy {
    std::string Entry;   // where it goes, relative to the destination ("plugins\x.dll")
    std::string Source;  // in the work folder
    std::string Target;  // in the destination
};

// Raises TInstallAborted with the message for the first entry refused.
std::vector<TInstallCopy> PlanCopies(const TSetupData& data);

// Texts in the wizard's language.
std::string BadNameText(const std::string& language, const std::string& entry, TNameProblem problem);
std::string OutsideFolderText(const std::string& language, const std::string& path, const std::string& folder);

}  // namespace zub

#include "setup/install_copies.h"

#include "base/file.h"
#include "base/language.h"
#include "base/strings.h"
#include "setup/install_run.h"
#include "formats/setup_script.h"

namespace zub {
namespace {

// Both made full by the system before the comparison, so that "ADMINI~1" and
// "Administrator" are the same folder.
bool LiesInside(const std::string& path, const std::string& folder) {
    return IsPathInside(fs::LongFullPath(path), fs::LongFullPath(folder));
}

}  // namespace

std::string BadNameText(const std::string& language, const std::string& entry, TNameProblem problem) {
    if (IsGerman(language))
        return Format("Der Dateiname \"%s\" in Setup.ini ist nicht zul\xE4ssig (%s). Es wurde nichts installiert.",
                      entry.c_str(), NameProblemText(problem));
    return Format("The file name \"%s\" in Setup.ini is refused: it %s. Nothing was installed.", entry.c_str(),
                  NameProblemText(problem));
}

std::string OutsideFolderText(const std::string& language, const std::string& path, const std::string& folder) {
    if (IsGerman(language))
        return Format("%s liegt nicht im Ordner %s. Es wurde nichts installiert.", path.c_str(), folder.c_str());
    return Format("%s does not lie inside the folder %s. Nothing was installed.", path.c_str(), folder.c_str());
}

std::vector<TInstallCopy> PlanCopies(const TSetupData& data) {
    std::vector<TInstallCopy> copies;
    for (const std::string& entry : data.AddFiles) {
        const TAddFile names = SplitAddFile(entry);
        for (const std::string& name : {names.Source, names.Target})
            if (const TNameProblem problem = CheckRelativeName(name); problem != TNameProblem::None)
                throw TInstallAborted(BadNameText(data.Language, entry, problem));
        TInstallCopy copy{names.Target, data.WorkFolder + names.Source, data.Destination + "\\" + names.Target};
        if (!LiesInside(copy.Source, data.WorkFolder))
            throw TInstallAborted(OutsideFolderText(data.Language, copy.Source, data.WorkFolder));
        if (!LiesInside(copy.Target, data.Destination))
            throw TInstallAborted(OutsideFolderText(data.Language, copy.Target, data.Destination));
        copies.push_back(std::move(copy));
    }
    return copies;
}

}  // namespace zub

#include "setup/startup_win.h"

#include <windows.h>

#include <exception>

#include "archive/payload_layout.h"
#include "archive/payload.h"
#include "archive/zlb_archive.h"
#include "base/process_win.h"
#include "shell/shell.h"
#include "shell/shell_win.h"
#include "setup/install_system_win.h"
#include "formats/log_book.h"
#include "setup/run_trace.h"
#include "formats/setup_script.h"
#include "setup/silent_run.h"
#include "setup/uninstall_key_win.h"
#include "setup/upgrade.h"
#include "setup/wizard_checks.h"
#include "setup/wizard_pages.h"
#include "setup/work_folder.h"

namespace zub {

std::string ProposedDestinationOf(const TSetupData& data, const std::optional<std::string>& commandLine) {
    const std::string keyName = ChooseUninstallKeyName(data.RazederodezTitle, data.TargetFile);
    return ProposedDestination(commandLine, ReadInstallLocation(keyName), GetProgramFilesDir() + data.Destination);
}

int RunSilentSetup(const TSetupOptions& options, TRunTrace& trace, std::string& recordedWorkFolder) {
    // Declared first so that it goes last, after everything that uses the folder.
    TWorkFolderGuard workFolder;
    TSetupDataTarget script;
    TSetupData& data = script.Data;
    try {
        data.WorkFolder = OpenWorkFolder(workFolder);
        recordedWorkFolder = workFolder.Folder();
        TZLBArchive archiver;
        UnpackPayload(archiver, TPayloadResource::OfRunningImage(), data.WorkFolder);
        trace.Line("unpacked: the payload into " + data.WorkFolder);
        ReadSetupScript(data.WorkFolder + kSetupScriptName, script);
        // A licence the wizard could not show stops it; the same here.
        if (HasLicence(data)) LoadLicenceText(data.WorkFolder + data.Licence);
    } catch (const std::exception& e) {
        trace.Error(e.what());
        return kExitCouldNotStart;
    }
    data.Destination = ProposedDestinationOf(data, options.Destination);

    TWin32InstallSystem machine(nullptr);
    TTracingInstallSystem system(machine, trace);
    TSetupLogBook logBook;
    const int code = RunSilentInstall(data, logBook, system, trace);
    try {
        workFolder.Remove();
    } catch (const std::exception& e) {
        trace.Error(e.what());  // the installation stands; the program's end tries once more
    }
    return code;
}

}  // namespace zub

// The payload's contract between the authoring tool, the setup and the
// uninstaller: where the payload lives in the executable, what it unpacks
// to, and the names of the files the setup relies on. A change of layout is
// one edit here.
#pragma once

namespace zub {

// The RCDATA resource of setup.exe that holds the payload archive.
inline constexpr char kPayloadResourceName[] = "ZUBTRESOR";

// The setup's work folder in the temporary directory: this prefix and a number.
inline constexpr char kWorkFolderPrefix[] = "ZCTemp";

// The payload resource written into the work folder before it is unpacked.
inline constexpr char kPayloadFileName[] = "Data.Zub";

// Nested archives: an entry with this extension is an archive of its own.
inline constexpr char kNestedArchiveExt[] = ".x";
// The payload's nested archives and the work-folder sub-folders they expand into.
inline constexpr char kGraphicsArchive[] = "gfx.x";
inline constexpr char kSoundsArchive[] = "snd.x";
inline constexpr char kAdditionalArchive[] = "Additional.x";
inline constexpr char kGraphicsFolder[] = "Graphics";
inline constexpr char kSoundsFolder[] = "Sounds";
inline constexpr char kAdditionalFolder[] = "Additional";
inline constexpr const char* kPayloadFolders[] = {kGraphicsFolder, kSoundsFolder, kAdditionalFolder};

// The setup's settings file at the top of the payload.
inline constexpr char kSetupScriptName[] = "Setup.ini";
// The uninstaller the payload carries and the setup installs.
inline constexpr char kUninstallerName[] = "Uninstall.exe";
// The same file as the uninstall shortcut names it: names on Windows are
// compared without regard to case.
inline constexpr char kUninstallShortcutTarget[] = "uninstall.exe";
// The record of an installation, in the destination folder, for the uninstaller.
inline constexpr char kSetupLogName[] = "setup.log";

}  // namespace zub

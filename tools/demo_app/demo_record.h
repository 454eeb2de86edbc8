// Where the demo program records that it was started, for the end-to-end
// tests: the file named by the environment variable, which a program the
// setup starts itself inherits, or else by the registry value, which a
// program the desktop's shell starts (with the shell's environment) can
// read too.
#pragma once

namespace zub::demo {

inline constexpr char kRecordVariable[] = "SKINSETUP_DEMO_RECORD";
inline constexpr char kRecordKey[] = "Software\\SkinSetup Demo";  // below HKEY_CURRENT_USER
inline constexpr char kRecordValue[] = "Record";

}  // namespace zub::demo

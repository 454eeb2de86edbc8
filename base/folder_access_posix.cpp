// Native builds: the account is the process's user, its SID made the way
// Windows file servers show a Unix user (S-1-22-1-uid).
#include <unistd.h>

#include "base/folder_access.h"

namespace zub {

TAccount CurrentAccount() { return {::geteuid() == 0, "S-1-22-1-" + std::to_string(::geteuid())}; }

}  // namespace zub

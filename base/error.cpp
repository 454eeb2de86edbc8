#include "base/error.h"

#include "base/strings.h"

namespace zub {

Error IoError(int code) {
    switch (code) {  // Windows-1252 texts
        case 2: return Error("Datei nicht gefunden");
        case 3: return Error("Ung\xfcltiger Dateiname");
        case 4: return Error("Zu viele ge\xf6" "ffnete Dateien");
        case 5: return Error("Dateizugriff verweigert");
        default: return Error(Format("E/A-Fehler %d", code));
    }
}

Error CreateFileError(const std::string& path) {
    return Error(Format("Datei %s kann nicht erstellt werden", path.c_str()));
}

Error Win32Error(unsigned long code, const std::string& systemMessage) {
    if (code == 0) return Error("Eine Win32-API-Funktion ist fehlgeschlagen");
    return Error(Format("Win32-Fehler. Code: %lu.\n", code) + systemMessage);
}

}  // namespace zub

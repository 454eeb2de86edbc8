// Failures are exceptions that carry a fixed message text. zub::Error is the
// general exception of the setup's own components; the helpers below make the
// texts of the runtime's own errors, which keep their German wording.
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace zub {

// It stands on std::exception alone and keeps its text in a std::string: the
// runtime's std::runtime_error would bring a second string implementation
// into every binary.
class Error : public std::exception {
public:
    explicit Error(std::string message) : message_(std::move(message)) {}
    explicit Error(const char* message) : message_(message) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// An input/output error with the system's error code: "E/A-Fehler %d", or
// the runtime's own text for the codes 2 to 5 ("Datei nicht gefunden", ...).
Error IoError(int code);

// "Datei %s kann nicht erstellt werden": a file could not be created.
Error CreateFileError(const std::string& path);

// "Win32-Fehler. Code: %d." followed by a line feed and the system's message
// for the code; "Eine Win32-API-Funktion ist fehlgeschlagen" for code 0.
Error Win32Error(unsigned long code, const std::string& systemMessage);

}  // namespace zub

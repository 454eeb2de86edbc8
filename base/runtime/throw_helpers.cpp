// The helpers by which the standard library's templates raise their errors
// (a string grown past its maximum, an index out of range, no memory). The
// library's own raise the standard exception classes, which hold a second,
// reference-counted string implementation, and bring it into every binary
// that uses a vector or a string. In the shipped programs, which link this
// object first, they raise a zub::Error with the same text instead; nothing
// there catches the standard classes by their own type, everything catches
// std::exception. The memory and type errors keep their standard types.
#include <cstdarg>
#include <exception>
#include <new>
#include <typeinfo>

#include "base/error.h"
#include "base/strings.h"

namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_bad_exception() { throw bad_exception(); }

void __throw_logic_error(const char* what) { throw zub::Error(what); }
void __throw_domain_error(const char* what) { throw zub::Error(what); }
void __throw_invalid_argument(const char* what) { throw zub::Error(what); }
void __throw_length_error(const char* what) { throw zub::Error(what); }
void __throw_out_of_range(const char* what) { throw zub::Error(what); }
void __throw_runtime_error(const char* what) { throw zub::Error(what); }
void __throw_range_error(const char* what) { throw zub::Error(what); }
void __throw_overflow_error(const char* what) { throw zub::Error(what); }
void __throw_underflow_error(const char* what) { throw zub::Error(what); }

void __throw_out_of_range_fmt(const char* format, ...) {
    va_list args;
    va_start(args, format);
    zub::Error error(zub::FormatList(format, args));
    va_end(args);
    throw error;
}

// A lock the system refused (std::mutex); the runtime's would bring the
// error categories with their message tables.
void __throw_system_error(int code) { throw zub::Error(zub::Format("system error %d", code)); }

}  // namespace std

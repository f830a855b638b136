// The standard library's throw helpers (std::__throw_length_error and the
// rest), given again for the shipped Windows programs.
//
// The runtime's own helpers throw the standard error classes, and in a static
// program the first of those brings their reference-counted message string
// with all its unwind tables (about 45 KB). These throw an Error with the same
// text instead, and bad_alloc, bad_cast and the like as the runtime does.
// Every caller in the programs catches std::exception, so what it sees is the
// same. Linked into each shipped program itself, so that the runtime's object
// with the originals is never needed.
#include <exception>
#include <new>
#include <typeinfo>

#include "platform/error.h"

namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_bad_exception() { throw bad_exception(); }
void __throw_logic_error(const char* what) { throw qr5::Error(what); }
void __throw_domain_error(const char* what) { throw qr5::Error(what); }
void __throw_invalid_argument(const char* what) { throw qr5::Error(what); }
void __throw_length_error(const char* what) { throw qr5::Error(what); }
void __throw_out_of_range(const char* what) { throw qr5::Error(what); }
// The format's arguments name an index and a size; the text says enough.
void __throw_out_of_range_fmt(const char* format, ...) { throw qr5::Error(format); }
void __throw_runtime_error(const char* what) { throw qr5::Error(what); }
void __throw_range_error(const char* what) { throw qr5::Error(what); }
void __throw_overflow_error(const char* what) { throw qr5::Error(what); }
void __throw_underflow_error(const char* what) { throw qr5::Error(what); }

}  // namespace std

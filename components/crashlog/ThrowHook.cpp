// The program's throws pass through here: the link replaces every reference to the runtime's
// __cxa_throw in the program's own code with __wrap___cxa_throw (-Wl,--wrap=__cxa_throw, set
// by the library for whatever links it). Throws inside other libraries are not seen.
#include <cstdint>
#include <typeinfo>

#include "components/crashlog/CrashLogDetail.h"

extern "C" {

[[noreturn]] void __real___cxa_throw(void* Object, std::type_info* Type, void (*Destroy)(void*));

[[noreturn]] void __wrap___cxa_throw(void* Object, std::type_info* Type, void (*Destroy)(void*)) {
    CrashLogDetail::OnThrow(Object, Type, reinterpret_cast<uintptr_t>(__builtin_return_address(0)));
    __real___cxa_throw(Object, Type, Destroy);
}
}

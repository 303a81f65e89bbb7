// The stack protector's guard value and its failure path, for every shipped
// binary.
//
// The compiler (-fstack-protector-strong) stores a copy of __stack_chk_guard
// between the locals and the return address of each function that has an
// array or a local whose address is taken, and calls __stack_chk_fail when
// the copy has changed by the function's end: something wrote past the end
// of a buffer on the stack. The compiler's own pair (libssp) seeds the guard
// from the CryptoAPI and prints to a console; this one seeds it from what
// Windows 95 and NT 3.1 already have, and ends the process at once, as
// Windows' own stack check does, running nothing more in a process whose
// stack can no longer be trusted. Windows build only.
#include <windows.h>

#include <cstdint>

namespace {

// What Windows' own stack check reports as the exit code.
const UINT kStackBufferOverrun = 0xC0000409;

}  // namespace

extern "C" {

// A fixed value until the seeding below runs; its low byte is zero, so a
// string copied over it ends before it can rebuild the guard.
std::uintptr_t __stack_chk_guard = 0x2F8E5A00;

__attribute__((noreturn)) void __stack_chk_fail(void) {
    TerminateProcess(GetCurrentProcess(), kStackBufferOverrun);
    __builtin_trap();
}

}  // extern "C"

// Runs before every other constructor of the binary, so that no protected
// function is on the stack while the guard changes; itself unprotected for
// the same reason. The clock, the counter, the process and thread, and where
// the stack and the binary lie (both moved by ASLR) differ from start to start.
__attribute__((constructor(101), no_stack_protector)) static void SeedStackGuard() {
    LARGE_INTEGER counter;
    counter.QuadPart = 0;
    QueryPerformanceCounter(&counter);
    std::uintptr_t seed = __stack_chk_guard;
    seed ^= GetTickCount();
    seed ^= GetCurrentProcessId() << 16;
    seed ^= GetCurrentThreadId();
    seed ^= static_cast<std::uintptr_t>(counter.LowPart) ^ static_cast<std::uintptr_t>(counter.HighPart);
    seed ^= reinterpret_cast<std::uintptr_t>(&counter);
    seed ^= reinterpret_cast<std::uintptr_t>(&__stack_chk_guard);
    __stack_chk_guard = seed & ~static_cast<std::uintptr_t>(0xFF);
}

// The C++ runtime's failure paths for every shipped binary (ZEVARIDA.EXE and
// the libraries and tool beside it), without the exception machinery.
//
// The binaries are built without exceptions: nothing in them catches one, so a
// failed allocation or a string grown past its maximum could only end the
// process through terminate(). The runtime's own versions of these functions
// throw, and throwing links in the unwinder, the type information of the
// exception classes and the demangler of the terminate handler, which is most
// of each binary. These versions end the process at once, as the uncaught
// exception would have. Windows build only: the host tests keep the runtime's
// own versions under the sanitizers.
#include <cstddef>
#include <cstdlib>
#include <new>
#include <string>

// The binaries' strings, instantiated here without exceptions, so that the
// runtime's prebuilt copy (compiled with them) is not linked in.
template class std::basic_string<char>;

void* operator new(std::size_t size) {
    // malloc(0) may return null; a successful new never does.
    void* block = std::malloc(size ? size : 1);
    if (!block) std::abort();
    return block;
}

void* operator new[](std::size_t size) { return operator new(size); }

// The libraries ask for memory with new (std::nothrow) and answer a failure;
// the runtime's versions of these catch bad_alloc, which links in the unwinder.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }

namespace std {

// What the library's headers call where the standard says "throws".
void __throw_length_error(const char*) { abort(); }
void __throw_logic_error(const char*) { abort(); }
void __throw_out_of_range(const char*) { abort(); }
void __throw_out_of_range_fmt(const char*, ...) { abort(); }
void __throw_invalid_argument(const char*) { abort(); }
void __throw_bad_alloc() { abort(); }
void __throw_bad_array_new_length() { abort(); }

}  // namespace std

// The system folder of the simulated desktop, where libraries of the system
// are loaded from by full path.
#include "State.h"

#include <cstring>

namespace {

const char kSystemFolder[] = "C:\\WINDOWS\\system32";

}  // namespace

// Like Windows: the length without the terminator, or the size needed with
// it when the buffer is too small.
UINT WINAPI GetSystemDirectoryA(LPSTR buffer, UINT size) {
    sim::Called("GetSystemDirectoryA");
    if (!buffer || size < sizeof kSystemFolder) return sizeof kSystemFolder;
    std::memcpy(buffer, kSystemFolder, sizeof kSystemFolder);
    return sizeof kSystemFolder - 1;
}

#include "adapter/Registry.h"

#include "common/Mbcs.h"

#include <cstring>

namespace {

const DWORD kDwordBytes = 4;
const DWORD kStringBytes = REGISTRY_TEXT_SIZE - 1;

bool HasSubKey(const char* subKey) { return subKey && *subKey; }

// A key the routine opened is closed; the key it was given never is.
void CloseOpened(HKEY opened, HKEY given) {
    if (opened != given) RegCloseKey(opened);
}

// Queries the value in the sub-key opened for reading, or in `key` itself;
// `size` is the room in `data` and comes back as the bytes read.
bool QueryValue(HKEY key, const char* subKey, const char* valueName, BYTE* data, DWORD& size) {
    HKEY opened = key;
    if (HasSubKey(subKey) && RegOpenKeyExA(key, subKey, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return false;
    const bool read = RegQueryValueExA(opened, valueName, nullptr, nullptr, data, &size) == ERROR_SUCCESS;
    CloseOpened(opened, key);
    return read;
}

bool CreateKey(HKEY parent, const char* name, HKEY& created) {
    return RegCreateKeyExA(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &created,
                           nullptr) == ERROR_SUCCESS;
}

}  // namespace

bool ReadRegistryDword(HKEY key, const char* subKey, const char* valueName, void* value) {
    DWORD size = kDwordBytes;
    return QueryValue(key, subKey, valueName, static_cast<BYTE*>(value), size);
}

bool ReadRegistryString(HKEY key, const char* subKey, const char* valueName, char* buffer) {
    DWORD size = kStringBytes;
    if (!QueryValue(key, subKey, valueName, reinterpret_cast<BYTE*>(buffer), size)) return false;
    buffer[size] = 0;
    return true;
}

bool WriteRegistryString(HKEY key, const char* subKey, const char* valueName, const char* text) {
    HKEY opened = key;
    if (HasSubKey(subKey) && !CreateKey(key, subKey, opened)) return false;
    const DWORD size = static_cast<DWORD>(std::strlen(text) + 1);
    const bool written =
        RegSetValueExA(opened, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), size) == ERROR_SUCCESS;
    CloseOpened(opened, key);
    return written;
}

const char* NextKeyName(const char* path, std::string& name) {
    const UINT codePage = GetACP();
    const char* end = path;
    while (*end && *end != '\\') end += CharacterBytes(end, codePage);
    name.assign(path, end);
    return *end ? end + 1 : end;
}

HKEY CreateRegistryKeyPath(HKEY root, const char* path) {
    if (!path || !*path) return root;
    if (std::strlen(path) >= REGISTRY_TEXT_SIZE) return nullptr;
    HKEY current = root;
    std::string name;
    for (const char* rest = path; *rest;) {
        rest = NextKeyName(rest, name);
        HKEY next;
        const bool created = CreateKey(current, name.c_str(), next);
        CloseOpened(current, root);
        if (!created) return nullptr;
        current = next;
    }
    return current;
}

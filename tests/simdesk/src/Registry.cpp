// The registry of the simulated desktop: a tree of keys below the predefined
// keys, values with their type and bytes, and handles that carry the access
// they were opened with. Names are case-insensitive and keep their spelling.
// Arguments documented as reserved must be zero.
#include "State.h"

#include <algorithm>
#include <cstring>

namespace sim {

namespace {

// What a buffer too small for the data holds afterwards: its contents are
// undefined, so they are made visibly wrong.
constexpr unsigned char kUndefinedByte = 0xCC;

bool IsPredefined(HKEY key) { return (reinterpret_cast<uintptr_t>(key) & 0x80000000u) != 0; }

RegistryKey* Root(HKEY key) {
    if (!IsPredefined(key)) return nullptr;
    return &S().registryRoots[key];
}

// The key a handle stands for, with the access it was opened with.
bool Resolve(HKEY key, RegistryKey*& node, REGSAM& access) {
    if (RegistryKey* root = Root(key)) {
        node = root;
        access = KEY_ALL_ACCESS;
        return true;
    }
    auto it = S().registryHandles.find(key);
    if (it == S().registryHandles.end()) return false;
    node = it->second.key;
    access = it->second.access;
    return true;
}

// The components of a key path. A doubled backslash (an empty name) or a
// leading one make the path invalid; one trailing backslash is tolerated.
bool SplitPath(const std::string& path, std::vector<std::string>& names) {
    names.clear();
    if (path.empty()) return true;
    if (path[0] == '\\') return false;
    size_t start = 0;
    while (start < path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        if (end == start) return false;
        names.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return true;
}

RegistryKey* Walk(RegistryKey* from, const std::vector<std::string>& names, bool create) {
    RegistryKey* key = from;
    for (const std::string& name : names) {
        auto it = key->subkeys.find(Lower(name));
        if (it == key->subkeys.end()) {
            if (!create) return nullptr;
            auto child = std::make_unique<RegistryKey>();
            child->name = name;
            it = key->subkeys.emplace(Lower(name), std::move(child)).first;
        }
        key = it->second.get();
    }
    return key;
}

HKEY NewHandle(RegistryKey* key, REGSAM access) {
    HKEY handle = S().NewHandle<HKEY>();
    S().registryHandles[handle] = RegistryHandle{key, access, CurrentThread()};
    return handle;
}

// The key behind a handle that must carry `needed` access; 0 or the error.
LONG KeyWithAccess(HKEY key, REGSAM needed, bool fails, RegistryKey*& node) {
    REGSAM access = 0;
    if (!Resolve(key, node, access)) return ERROR_INVALID_HANDLE;
    return !(access & needed) || fails ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
}

RegistryKey* FindKey(HKEY root, const std::string& path) {
    std::vector<std::string> names;
    RegistryKey* from = Root(root);
    if (!from || !SplitPath(path, names)) return nullptr;
    return Walk(from, names, false);
}

}  // namespace

void CloseRegistryHandlesOf(Process::Thread& thread) {
    CloseHandlesOwnedBy(S().registryHandles, thread, S().handlesLeftAtExit);
}

void Desktop::SetRegistryValue(HKEY root, const std::string& path, const std::string& name,
                               const RegistryValue& value) {
    std::vector<std::string> names;
    RegistryKey* from = Root(root);
    if (!from || !SplitPath(path, names)) return;
    RegistryKey* key = Walk(from, names, true);
    key->values[Lower(name)] = {name, value};
}

void Desktop::SetRegistryDword(HKEY root, const std::string& path, const std::string& name, DWORD value) {
    SetRegistryValue(root, path, name, RegistryValue{REG_DWORD, std::string(reinterpret_cast<char*>(&value), 4)});
}

void Desktop::SetRegistryString(HKEY root, const std::string& path, const std::string& name, const std::string& text) {
    SetRegistryValue(root, path, name, RegistryValue{REG_SZ, text + '\0'});
}

bool Desktop::FindRegistryValue(HKEY root, const std::string& path, const std::string& name,
                                RegistryValue* value) const {
    RegistryKey* key = FindKey(root, path);
    if (!key) return false;
    auto it = key->values.find(Lower(name));
    if (it == key->values.end()) return false;
    if (value) *value = it->second.second;
    return true;
}

bool Desktop::RegistryKeyExists(HKEY root, const std::string& path) const { return FindKey(root, path) != nullptr; }

int Desktop::OpenRegistryKeys() const { return static_cast<int>(state_->registryHandles.size()); }

}  // namespace sim

using namespace sim;

LONG WINAPI RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM access, HKEY* result) {
    const std::string path = subKey ? subKey : "";
    const bool fails = TraceFails("RegOpenKeyExA", "%p, \"%s\", 0x%lX", (void*)key, path.c_str(), access);
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    RegistryKey* node = nullptr;
    REGSAM unused = 0;
    if (!Resolve(key, node, unused)) return ERROR_INVALID_HANDLE;
    if (fails) return ERROR_ACCESS_DENIED;
    std::vector<std::string> names;
    if (!SplitPath(path, names)) return ERROR_BAD_PATHNAME;
    RegistryKey* found = Walk(node, names, false);
    if (!found) return ERROR_FILE_NOT_FOUND;
    // An absent or empty sub-key opens the key itself again, as a new handle.
    *result = NewHandle(found, access);
    return ERROR_SUCCESS;
}

LONG WINAPI RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR, DWORD options, REGSAM access,
                            LPSECURITY_ATTRIBUTES, HKEY* result, LPDWORD disposition) {
    const std::string path = subKey ? subKey : "";
    const bool fails =
        TraceFails("RegCreateKeyExA", "%p, \"%s\", %lu, 0x%lX", (void*)key, path.c_str(), options, access);
    if (!result || reserved) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    RegistryKey* node = nullptr;
    REGSAM parentAccess = 0;
    if (!Resolve(key, node, parentAccess)) return ERROR_INVALID_HANDLE;
    if (fails) return ERROR_ACCESS_DENIED;
    std::vector<std::string> names;
    if (!SplitPath(path, names)) return ERROR_BAD_PATHNAME;
    const bool exists = Walk(node, names, false) != nullptr;
    if (!exists && !(parentAccess & KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
    RegistryKey* made = Walk(node, names, true);
    if (disposition) *disposition = exists ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    *result = NewHandle(made, access);
    return ERROR_SUCCESS;
}

LONG WINAPI RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                             LPDWORD dataSize) {
    const std::string name = valueName ? valueName : "";
    const bool fails =
        TraceFails("RegQueryValueExA", "%p, \"%s\", %lu", (void*)key, name.c_str(), dataSize ? *dataSize : 0);
    RegistryKey* node = nullptr;
    if (LONG error = KeyWithAccess(key, KEY_QUERY_VALUE, fails, node)) return error;
    if ((data && !dataSize) || reserved) return ERROR_INVALID_PARAMETER;
    auto it = node->values.find(Lower(name));
    if (it == node->values.end()) return ERROR_FILE_NOT_FOUND;
    const RegistryValue& value = it->second.second;
    if (type) *type = value.type;
    const DWORD size = static_cast<DWORD>(value.data.size());
    if (!dataSize) return ERROR_SUCCESS;
    if (data && *dataSize < size) {
        std::memset(data, kUndefinedByte, *dataSize);
        *dataSize = size;
        return ERROR_MORE_DATA;
    }
    if (data) std::memcpy(data, value.data.data(), size);
    *dataSize = size;
    return ERROR_SUCCESS;
}

LONG WINAPI RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD dataSize) {
    const std::string name = valueName ? valueName : "";
    const bool fails = TraceFails("RegSetValueExA", "%p, \"%s\", %lu, %lu", (void*)key, name.c_str(), type, dataSize);
    RegistryKey* node = nullptr;
    if (LONG error = KeyWithAccess(key, KEY_SET_VALUE, fails, node)) return error;
    if (reserved) return ERROR_INVALID_PARAMETER;
    if (!data && dataSize) return ERROR_NOACCESS;
    node->values[Lower(name)] = {name, RegistryValue{type, std::string(reinterpret_cast<const char*>(data), dataSize)}};
    return ERROR_SUCCESS;
}

LONG WINAPI RegDeleteValueA(HKEY key, LPCSTR valueName) {
    const std::string name = valueName ? valueName : "";
    const bool fails = TraceFails("RegDeleteValueA", "%p, \"%s\"", (void*)key, name.c_str());
    RegistryKey* node = nullptr;
    if (LONG error = KeyWithAccess(key, KEY_SET_VALUE, fails, node)) return error;
    return node->values.erase(Lower(name)) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LONG WINAPI RegCloseKey(HKEY key) {
    Trace("RegCloseKey", "%p", (void*)key);
    if (IsPredefined(key)) return ERROR_SUCCESS;
    return S().registryHandles.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

// The registry routines of the program. Each takes a key, a sub-key path below
// it (absent or empty: the key itself) and a value name. A key a routine opens
// is closed before it returns; the key it is given is never closed. Failures
// are answered by the result alone.
#ifndef ADAPTER_REGISTRY_H
#define ADAPTER_REGISTRY_H

#include <windows.h>

#include <stddef.h>

#include <string>

// The buffer of ReadRegistryString, and the longest path CreateRegistryKeyPath takes.
const size_t REGISTRY_TEXT_SIZE = 260;

// Reads at most 4 bytes of the value into the caller's 4-byte variable,
// whatever its type.
bool ReadRegistryDword(HKEY key, const char* subKey, const char* valueName, void* value);

// Reads at most 259 bytes of the value, whatever its type, into the caller's
// 260-byte buffer and terminates them there.
bool ReadRegistryString(HKEY key, const char* subKey, const char* valueName, char* buffer);

// Stores the text with its terminating zero as REG_SZ, creating the sub-key
// when it is missing.
bool WriteRegistryString(HKEY key, const char* subKey, const char* valueName, const char* text);

// Creates or opens every key of a backslash-separated path of at most 259
// characters below `root`. Returns the last key, for the caller to close, or
// null; an empty path gives `root` itself back, which the caller must not close.
HKEY CreateRegistryKeyPath(HKEY root, const char* path);

// The path component at `path` (up to the next backslash or the end) goes to
// `name`; returns where the next component begins. A backslash that is the
// second byte of a double-byte character does not end a component.
const char* NextKeyName(const char* path, std::string& name);

#endif

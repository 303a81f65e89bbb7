// FilePaths.h - where the library's files are and how they are read and written.
#ifndef TAVRO_FILEPATHS_H
#define TAVRO_FILEPATHS_H

#include <string>

namespace tavro {

// The value of an environment variable, or "" when it is not set.
std::string EnvironmentValue(const char* name);

// Turns a path from the environment into a full Windows path. A path starting
// with '/' is taken as a Unix path when running on Wine and converted to its
// Windows form; anything else is used as given, made absolute.
std::string ResolvePath(const std::string& path);

// The full path of `fileName` in the folder of the module that holds this code.
std::string BesideThisModule(const char* fileName);

// Reads a whole file (up to 1 MiB). False when it is missing, unreadable or larger.
bool ReadWholeFile(const std::string& path, std::string& contents);

// Appends `line` and a newline to the file, creating it if needed.
void AppendLine(const std::string& path, const std::string& line);

}  // namespace tavro

#endif

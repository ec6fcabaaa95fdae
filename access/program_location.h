#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "model/user_data_directory.h"

namespace zorvek {

// The folder of the running executable: templates ("Kvelta") and the default
// dump file live beside it. Empty when the system will not say.
std::filesystem::path ExecutableDirectory();

// The folder of the supplied files (the templates' "Kvelta", the help files,
// the pictures): the executable's own folder where the templates lie beside
// it (the build tree, a portable copy), otherwise "../share/zorvek" of an
// installed program. Empty when the executable's folder is unknown.
std::filesystem::path DataDirectory();

// The arguments after the program's name, in UTF-8 whatever the system's
// code page (Windows hands `main` its ANSI code page); paths among them are
// made with PathOfUtf8.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Whether this process may create files in `folder`.
bool IsWritableFolder(const std::filesystem::path& folder);

}  // namespace zorvek

#include "flows/session.h"

#include <system_error>

#include "access/program_location.h"
#include "reports/common/utf8_path.h"

namespace zorvek {
namespace {

constexpr const char* kDefaultDumpFileName = "dannie.krd";
// What the Windows installer puts beside the programs.
constexpr const char* kUninstaller = "Uninstall.exe";

}  // namespace

Session::Session(ProgressSink* progress)
    : dispatch(dumpFile, sheet, progress), mainProgress(progress) {
    choice.defaultFile = DefaultDumpFile();
}

std::filesystem::path DefaultDumpFile() {
    return DefaultDumpFileIn(ExecutableDirectory(), DataDirectory(), UserDataDirectory());
}

std::filesystem::path DefaultDumpFileIn(const std::filesystem::path& executableFolder,
                                        const std::filesystem::path& dataFolder,
                                        const std::filesystem::path& userData) {
    // Only a copy that carries its supplied files beside it (the build tree,
    // a portable folder) keeps its data there; an installed program never
    // writes into the folder of its executable, even where it could (root,
    // an administrator). Installed on Windows, everything lies in one folder
    // with the uninstaller, which tells it from a portable copy.
    std::error_code missing;
    const bool installed = std::filesystem::exists(executableFolder / kUninstaller, missing);
    if (dataFolder == executableFolder && !installed && IsWritableFolder(executableFolder)) {
        return executableFolder / kDefaultDumpFileName;
    }
    std::error_code ignored;
    // Without a home the file is kept among the system's temporary files.
    const std::filesystem::path folder =
        userData.empty() ? std::filesystem::temp_directory_path(ignored) / "zorvek" : userData;
    std::filesystem::create_directories(folder, ignored);
    return folder / kDefaultDumpFileName;
}

bool ApplyCommandLine(DumpFileChoice& choice, const std::vector<std::string>& arguments) {
    if (arguments.empty()) return false;
    std::string joined = arguments.front();
    for (std::size_t i = 1; i < arguments.size(); ++i) joined += " " + arguments[i];
    if (joined == "kran") {
        choice.craneKind = 1;
    } else if (joined == "bashnya") {
        choice.craneKind = 2;
    } else if (joined == "truba") {
        choice.craneKind = 3;
    } else {
        choice.craneKind = 0;
        choice.startupArgument = PathOfUtf8(joined);
        return true;
    }
    return false;
}

}  // namespace zorvek

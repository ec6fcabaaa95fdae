#include <shlobj.h>
#include <windows.h>

#include "model/user_data_directory.h"

namespace zorvek {

std::filesystem::path UserDataDirectory() {
    PWSTR folder = nullptr;
    std::filesystem::path data;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder))) {
        data = std::filesystem::path(folder) / L"zorvek";
    }
    CoTaskMemFree(folder);
    return data;
}

}  // namespace zorvek

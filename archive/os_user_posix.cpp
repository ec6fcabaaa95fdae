#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "archive/os_user.h"

namespace zorvek::archive {

std::string OsUserName() {
    // The account itself, not what the environment claims: a `su` keeps
    // the first user's USER.
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_name != nullptr && found->pw_name[0] != '\0') {
        return found->pw_name;
    }
    for (const char* variable : {"USER", "LOGNAME"}) {
        if (const char* name = std::getenv(variable); name != nullptr && name[0] != '\0')
            return name;
    }
    return "?";
}

}  // namespace zorvek::archive

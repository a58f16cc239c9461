#pragma once

#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tavrix {

// The user who started the program through sudo or pkexec.
struct InvokingUser {
    uid_t uid = 0;
    gid_t gid = 0;
    std::string name;
    std::string home;
};

// The user behind sudo (SUDO_UID and SUDO_GID) or pkexec (PKEXEC_UID, the group from the user
// database); nullopt when neither names a user other than root, or the user's group is root's. A
// variable that is set but names no such user or group, or root's group, adds a warning naming it
// and its value ("SUDO_UID=\"abc\" is not a user id, ignored").
std::optional<InvokingUser> invokingUser(std::vector<std::string>& warnings);

// Drops root for good to the user: supplementary groups, group, then user; HOME to the user's home,
// XDG_RUNTIME_DIR to the user's own runtime folder when it exists, else unset. Verifies that root
// cannot be regained. Returns why it failed; nullopt on success.
std::optional<std::string> dropRootTo(const InvokingUser& user);

}  // namespace tavrix

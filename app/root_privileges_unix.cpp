#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "app/root_privileges.h"

namespace tavrix {

namespace {

// The variable and its value as a warning shows them: NAME="value", bytes outside printable ASCII
// as \xHH.
std::string shownVariable(const char* name, std::string_view value) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string shown = std::string(name) + "=\"";
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\') {
            shown += c;
        } else {
            shown += "\\x";
            shown += digits[byte >> 4];
            shown += digits[byte & 0x0F];
        }
    }
    return shown + "\"";
}

// A user or group id in decimal; nullopt when the variable is unset and, with a warning, for
// anything else than such an id: ids that do not fit, and -1, which setresuid and setresgid take
// as "leave unchanged".
template <typename Id>
std::optional<Id> idFrom(const char* name, const char* what, std::vector<std::string>& warnings) {
    const char* text = std::getenv(name);
    if (!text) return std::nullopt;
    Id value = 0;
    const std::string_view view(text);
    const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), value);
    if (view.empty() || error != std::errc() || end != view.data() + view.size() || value == static_cast<Id>(-1)) {
        warnings.push_back(shownVariable(name, view) + " is not a " + what + " id, ignored");
        return std::nullopt;
    }
    return value;
}

// SUDO_GID's group; nullopt, with a warning, when unset, no group id or root's group.
std::optional<gid_t> sudoGroup(std::vector<std::string>& warnings) {
    const std::optional<gid_t> gid = idFrom<gid_t>("SUDO_GID", "group", warnings);
    if (gid != 0u) return gid;
    warnings.push_back(shownVariable("SUDO_GID", "0") + " names root's group, not a group to run as, ignored");
    return std::nullopt;
}

std::string failure(const char* step) { return std::string(step) + ": " + std::strerror(errno); }

}  // namespace

std::optional<InvokingUser> invokingUser(std::vector<std::string>& warnings) {
    const char* variable = "SUDO_UID";
    std::optional<uid_t> uid = idFrom<uid_t>(variable, "user", warnings);
    const std::optional<gid_t> gid = uid && *uid != 0 ? sudoGroup(warnings) : std::nullopt;
    if (!uid) {
        variable = "PKEXEC_UID";
        uid = idFrom<uid_t>(variable, "user", warnings);
    }
    if (!uid) return std::nullopt;
    if (*uid == 0) {
        warnings.push_back(shownVariable(variable, "0") + " names root, not a user to run as");
        return std::nullopt;
    }
    InvokingUser user;
    user.uid = *uid;
    const passwd* entry = getpwuid(user.uid);
    if (entry) {
        user.name = entry->pw_name;
        user.home = entry->pw_dir ? entry->pw_dir : "";
    }
    if (gid) {
        user.gid = *gid;
    } else if (entry && entry->pw_gid != 0) {
        user.gid = entry->pw_gid;
    } else if (entry) {
        warnings.push_back("user " + std::to_string(user.uid) + "'s group is root's, not a group to run as");
        return std::nullopt;
    } else {
        // pkexec for a user the system does not know: no group to drop to
        warnings.push_back(shownVariable(variable, std::to_string(user.uid)) +
                           " names no user in the user database, ignored");
        return std::nullopt;
    }
    return user;
}

std::optional<std::string> dropRootTo(const InvokingUser& user) {
    if (!user.name.empty()) {
        if (initgroups(user.name.c_str(), user.gid) != 0) return failure("initgroups");
    } else if (setgroups(1, &user.gid) != 0) {
        return failure("setgroups");
    }
    if (setresgid(user.gid, user.gid, user.gid) != 0) return failure("setresgid");
    if (setresuid(user.uid, user.uid, user.uid) != 0) return failure("setresuid");
    if (setuid(0) == 0 || seteuid(0) == 0 || setgid(0) == 0) return std::string("root could be regained");
    uid_t ruid, euid, suid;
    gid_t rgid, egid, sgid;
    if (getresuid(&ruid, &euid, &suid) != 0 || getresgid(&rgid, &egid, &sgid) != 0 || ruid != user.uid ||
        euid != user.uid || suid != user.uid || rgid != user.gid || egid != user.gid || sgid != user.gid) {
        return std::string("the user and group ids did not change");
    }

    if (!user.home.empty()) setenv("HOME", user.home.c_str(), 1);
    if (!user.name.empty()) {
        setenv("USER", user.name.c_str(), 1);
        setenv("LOGNAME", user.name.c_str(), 1);
    }
    // The user's own runtime folder, as logind makes it; never root's, never one to be created.
    const std::string runtime = "/run/user/" + std::to_string(user.uid);
    struct stat status {};
    if (stat(runtime.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == user.uid &&
        (status.st_mode & 0777) == 0700) {
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    } else {
        unsetenv("XDG_RUNTIME_DIR");
    }
    return std::nullopt;
}

}  // namespace tavrix

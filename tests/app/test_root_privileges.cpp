#include "app/root_privileges.h"

#include <gtest/gtest.h>

#include <pwd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace {

// The variables sudo and pkexec set, as they were before the test, put back after it.
class InvokingUserEnvironment : public ::testing::Test {
protected:
    static constexpr const char* names[] = {"SUDO_UID", "SUDO_GID", "PKEXEC_UID"};
    std::vector<std::optional<std::string>> saved;

    void SetUp() override {
        for (const char* name : names) {
            saved.push_back(std::getenv(name) ? std::optional<std::string>(std::getenv(name)) : std::nullopt);
        }
    }
    void TearDown() override { set(saved); }

    static void set(const std::vector<std::optional<std::string>>& values) {
        for (std::size_t i = 0; i < std::size(names); ++i) {
            values[i] ? setenv(names[i], values[i]->c_str(), 1) : unsetenv(names[i]);
        }
    }
};

TEST_F(InvokingUserEnvironment, NamesTheUserBehindSudoOrPkexecAndWarnsOfRootOrBadIds) {
    const passwd* nobody = getpwuid(65534);
    ASSERT_NE(nobody, nullptr) << "the user database has no uid 65534";
    const std::string nobodyName = nobody->pw_name, nobodyHome = nobody->pw_dir;
    const gid_t nobodyGroup = nobody->pw_gid;
    const uid_t unknown = 3999999999u;
    ASSERT_EQ(getpwuid(unknown), nullptr) << "uid 3999999999 is in the user database";
    const std::string unknownText = std::to_string(unknown);
    const std::string rootGroup = "SUDO_GID=\"0\" names root's group, not a group to run as, ignored";

    struct Expected {
        uid_t uid;
        gid_t gid;
        std::string name, home;
    };
    struct Case {
        std::optional<std::string> sudoUid, sudoGid, pkexecUid;
        std::optional<Expected> user;
        std::string warnings = "";  // joined with " | "
    };
    using std::nullopt;
    const std::vector<Case> cases = {
        // sudo names the group itself, even for a user the database does not know
        {"65534", "100", nullopt, Expected{65534, 100, nobodyName, nobodyHome}},
        {unknownText, "4321", nullopt, Expected{unknown, 4321, "", ""}},
        // without SUDO_GID, or with a bad one, the group comes from the user database
        {"65534", nullopt, nullopt, Expected{65534, nobodyGroup, nobodyName, nobodyHome}},
        {"65534", "x", nullopt, Expected{65534, nobodyGroup, nobodyName, nobodyHome}, "SUDO_GID=\"x\" is not a group id, ignored"},
        // root's group is no group to give up root for
        {"65534", "0", nullopt, Expected{65534, nobodyGroup, nobodyName, nobodyHome}, rootGroup},
        {unknownText, "0", nullopt, nullopt,
         rootGroup + " | SUDO_UID=\"" + unknownText + "\" names no user in the user database, ignored"},
        // pkexec names only the user: the group comes from the database, and an unknown user has none
        {nullopt, nullopt, "65534", Expected{65534, nobodyGroup, nobodyName, nobodyHome}},
        {nullopt, nullopt, unknownText, nullopt, "PKEXEC_UID=\"" + unknownText + "\" names no user in the user database, ignored"},
        // sudo's user wins over pkexec's, a bad SUDO_UID leaves pkexec's
        {"65534", "100", "1", Expected{65534, 100, nobodyName, nobodyHome}},
        {"12x", "100", "65534", Expected{65534, nobodyGroup, nobodyName, nobodyHome}, "SUDO_UID=\"12x\" is not a user id, ignored"},
        // root itself, nothing, and ids that are no ids
        {"0", "0", nullopt, nullopt, "SUDO_UID=\"0\" names root, not a user to run as"},
        {"0", "0", "65534", nullopt, "SUDO_UID=\"0\" names root, not a user to run as"},
        {nullopt, nullopt, "0", nullopt, "PKEXEC_UID=\"0\" names root, not a user to run as"},
        {nullopt, nullopt, nullopt, nullopt},
        {"", "", "", nullopt, "SUDO_UID=\"\" is not a user id, ignored | PKEXEC_UID=\"\" is not a user id, ignored"},
        {"12x", "100", nullopt, nullopt, "SUDO_UID=\"12x\" is not a user id, ignored"},
        {nullopt, nullopt, "12x", nullopt, "PKEXEC_UID=\"12x\" is not a user id, ignored"},
        {"-5", "100", nullopt, nullopt, "SUDO_UID=\"-5\" is not a user id, ignored"},
        {" 5", "100", nullopt, nullopt, "SUDO_UID=\" 5\" is not a user id, ignored"},
        {"+5", "100", nullopt, nullopt, "SUDO_UID=\"+5\" is not a user id, ignored"},
        {"0x10", "100", nullopt, nullopt, "SUDO_UID=\"0x10\" is not a user id, ignored"},
        {"1\x1b[2J", "100", nullopt, nullopt, "SUDO_UID=\"1\\x1b[2J\" is not a user id, ignored"},
        // beyond uid_t: 4294967296 would wrap to root, 4294967295 is -1, "leave unchanged" to setresuid
        {"4294967296", "100", nullopt, nullopt, "SUDO_UID=\"4294967296\" is not a user id, ignored"},
        {"4294967295", "100", nullopt, nullopt, "SUDO_UID=\"4294967295\" is not a user id, ignored"},
        {nullopt, nullopt, "4294967296", nullopt, "PKEXEC_UID=\"4294967296\" is not a user id, ignored"},
        {"65534", "4294967295", nullopt, Expected{65534, nobodyGroup, nobodyName, nobodyHome}, "SUDO_GID=\"4294967295\" is not a group id, ignored"},
        {"99999999999999999999999", "100", nullopt, nullopt, "SUDO_UID=\"99999999999999999999999\" is not a user id, ignored"},
    };
    for (const auto& [sudoUid, sudoGid, pkexecUid, expected, expectedWarnings] : cases) {
        set({sudoUid, sudoGid, pkexecUid});
        SCOPED_TRACE("SUDO_UID=" + sudoUid.value_or("(unset)") + " SUDO_GID=" + sudoGid.value_or("(unset)") +
                     " PKEXEC_UID=" + pkexecUid.value_or("(unset)"));
        std::vector<std::string> warnings;
        const auto user = tavrix::invokingUser(warnings);
        std::string joined;
        for (const auto& warning : warnings) joined += (joined.empty() ? "" : " | ") + warning;
        EXPECT_EQ(joined, expectedWarnings);
        ASSERT_EQ(user.has_value(), expected.has_value());
        if (user) {
            EXPECT_EQ(std::tie(user->uid, user->gid, user->name, user->home),
                      std::tie(expected->uid, expected->gid, expected->name, expected->home));
        }
    }
}

}  // namespace

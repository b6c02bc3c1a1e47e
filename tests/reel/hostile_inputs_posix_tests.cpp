// Prize lists the POSIX file system can make hostile: pipes, devices, permissions.
#include "startup_outcome.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using fakes::record;
using fakes::startUpIn;

TEST(HostileInput, APipeOrADeviceInsteadOfTheListIsRefusedWithoutWaiting)
{
    // Reading either would wait for a writer or never reach an end.
    fakes::TempFolder pipe, device;
    ASSERT_EQ(mkfifo((pipe.path() / "data.ini").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", device.path() / "data.ini");
    EXPECT_EQ(startUpIn(pipe)->error, 75);
    EXPECT_EQ(startUpIn(device)->error, 75);
}

TEST(HostileInput, AnUnreadableListIsAnAccessError)
{
    fakes::TempFolder folder;
    folder.writeDataIni(record("100", "1", "a", "1"));
    namespace fs = std::filesystem;
    fs::permissions(folder.path(), fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(folder.path() / "data.ini", fs::perms::none);
    if (geteuid() != 0) {
        EXPECT_EQ(startUpIn(folder)->error, 75);
        return;
    }
    // Root reads everything, so try as nobody in a child process.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (setresgid(65534, 65534, 65534) != 0 || setresuid(65534, 65534, 65534) != 0)
            _exit(100);
        _exit(startUpIn(folder)->error);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 75);
}

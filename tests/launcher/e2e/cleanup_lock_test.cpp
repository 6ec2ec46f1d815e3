// Clean-up mode against files that stay locked: the retry budget of 30 seconds is shared by
// all files, after which the locked files and their folder stay where they are. A program of
// its own, since it takes half a minute.
#include <gtest/gtest.h>

#include <string>

#include "launcher_fixture.h"

namespace launchertest {
namespace {

// Opened without FILE_SHARE_DELETE, so that deleting the file fails while it is held.
HANDLE Lock(const std::string& path) {
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                       nullptr);
}

TEST(CleanupMode, FilesLockedLongerThanTheBudgetStayAfterAbout30Seconds) {
    const std::string exe = BuildLauncherFile(DemoContents("a=b\n"), NewFolder("lock-launcher"));
    const std::string folder = NewFolder("JX5A5A");
    MakeFolders(folder + "sub");
    for (const char* name : {"locked-1.jar", "free.jar", "sub\\locked-2.jar", "sub\\free.jar"})
        ASSERT_TRUE(WriteWholeFile(folder + name, TextBytes(name)));
    HANDLE first = Lock(folder + "locked-1.jar");
    HANDLE second = Lock(folder + "sub\\locked-2.jar");
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    ASSERT_NE(second, INVALID_HANDLE_VALUE);

    const std::string target = folder.substr(0, folder.size() - 1);
    const RunResult held = RunLauncher(exe, "-D* -deltree* \"" + target + "\" JX5A5A");
    EXPECT_EQ(held.exit_code, 0);
    // Two locked files, one budget: about 30 seconds in all, not 30 for each.
    EXPECT_GT(held.seconds, 28.0);
    EXPECT_LT(held.seconds, 50.0);
    EXPECT_TRUE(PathExists(folder + "locked-1.jar"));
    EXPECT_TRUE(PathExists(folder + "sub\\locked-2.jar"));
    EXPECT_FALSE(PathExists(folder + "free.jar"));
    EXPECT_FALSE(PathExists(folder + "sub\\free.jar"));
    EXPECT_TRUE(HasLogLine(held.output, "delete.error=" + folder + "locked-1.jar")) << held.output;
    EXPECT_TRUE(HasLogLine(held.output, "delete.error=" + folder + "sub\\locked-2.jar"));

    CloseHandle(first);
    CloseHandle(second);
    const RunResult released = RunLauncher(exe, "-deltree* \"" + target + "\" JX5A5A");
    EXPECT_EQ(released.exit_code, 0);
    EXPECT_LT(released.seconds, 20.0);
    EXPECT_FALSE(PathExists(target));
}

}  // namespace
}  // namespace launchertest

// Choosing the Java VM with runtimes written into this Wine prefix's registry. Only this test
// program touches the registry's Java runtimes (CTest runs it alone under a resource lock).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launcher_fixture.h"

namespace launchertest {
namespace {

constexpr char kRuntimesKey[] = "SOFTWARE\\JavaSoft\\Java Runtime Environment";

class RegistryRuntimes : public ::testing::Test {
  protected:
    void SetUp() override {
        Clear();
        folder_ = NewFolder("runtimes");
    }
    void TearDown() override { Clear(); }

    static void Clear() { RegDeleteTreeA(HKEY_LOCAL_MACHINE, kRuntimesKey); }

    // A runtime whose RuntimeLib (a copy of the test VM) exists unless missing is set.
    std::string AddRuntime(const std::string& version, bool missing = false) {
        const std::string lib = folder_ + version + "\\jvm.dll";
        if (!missing) {
            MakeFolders(folder_ + version);
            CopyFileA(TestVmPath().c_str(), lib.c_str(), FALSE);
        }
        HKEY key = nullptr;
        const std::string name = std::string(kRuntimesKey) + "\\" + version;
        EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, name.c_str(), 0, nullptr, 0, KEY_WRITE,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, "RuntimeLib", 0, REG_SZ, reinterpret_cast<const BYTE*>(lib.c_str()),
                       static_cast<DWORD>(lib.size() + 1));
        RegCloseKey(key);
        return lib;
    }

    void SetCurrentVersion(const std::string& version) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRuntimesKey, 0, nullptr, 0, KEY_WRITE,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, "CurrentVersion", 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(version.c_str()),
                       static_cast<DWORD>(version.size() + 1));
        RegCloseKey(key);
    }

    // Runs a launcher with these settings; returns the chosen VM or "error N".
    std::string Choose(const std::string& settings, const std::string& options = "") {
        const std::string exe = BuildLauncherFile(DemoContents(settings), folder_);
        last_ = RunLauncher(exe, "-D* -Q* " + options, {NewFolder("runtimes-temp")});
        if (last_.exit_code != 0) return "error " + std::to_string(last_.exit_code);
        return LogValue(last_.output, "jvm=");
    }

    std::string folder_;
    RunResult last_;
};

TEST_F(RegistryRuntimes, VersionRangeDecidesAmongInstalledRuntimes) {
    const std::string v140 = AddRuntime("1.4.0");
    const std::string v141 = AddRuntime("1.4.1");
    const std::string v150 = AddRuntime("1.5.0_06");
    const std::string v160 = AddRuntime("1.6.0");
    AddRuntime("1.7.0", /*missing=*/true);
    struct Case {
        const char* settings;
        std::string chosen;
    };
    const Case cases[] = {
        {"a=b\n", v160},         // highest with a RuntimeLib that exists
        {"maxver=1.5\n", v150},  // 1.5.0.6 <= 1.5.9999.9999 < 1.6.0
        // maxver 1.4.0 reads as 1.4.0.9999, the default minimum 1.4 as 1.4.0.0
        {"maxver=1.4.0\n", v140},
        {"minver=1.4.1\nmaxver=1.4.1\n", v141},  // 1.4.1.0 is within 1.4.1.0 to 1.4.1.9999
        {"minver=1.8\n", "error 10"},
    };
    for (const Case& c : cases) EXPECT_EQ(Choose(c.settings), c.chosen) << c.settings;
}

TEST_F(RegistryRuntimes, CurrentVersionWinsWhenItsRuntimeExistsAndFits) {
    const std::string v150 = AddRuntime("1.5.0");
    const std::string v160 = AddRuntime("1.6.0");
    SetCurrentVersion("1.5.0");
    EXPECT_EQ(Choose("a=b\n"), v150);
    EXPECT_EQ(Choose("minver=1.6\n"), v160);  // out of range: the subkeys decide
    AddRuntime("1.5.9", /*missing=*/true);
    SetCurrentVersion("1.5.9");  // its RuntimeLib is missing
    EXPECT_EQ(Choose("maxver=1.5\n"), v150);
}

TEST_F(RegistryRuntimes, APrivateRuntimeBeatsTheRangeAndAForcedOne) {
    AddRuntime("1.6.0");
    MakeFolders(folder_ + "jre\\bin\\client");
    CopyFileA(TestVmPath().c_str(), (folder_ + "jre\\bin\\client\\jvm.dll").c_str(), FALSE);
    EXPECT_EQ(Choose("minver=9.0\njvm=jre\\bin\\client\\jvm.dll\n", "-jvm:C:\\forced.dll"),
              folder_ + "jre\\bin\\client\\jvm.dll");
    EXPECT_EQ(LogValue(last_.output, "private.jvm="),
              folder_ + "jre\\bin\\client\\jvm.dll (found)");
    // A private runtime that is missing falls through to the forced one, then the registry.
    EXPECT_EQ(Choose("jvm=jre\\none.dll\n", ForcedTestVm()), TestVmPath());
    EXPECT_EQ(LogValue(last_.output, "private.jvm="), folder_ + "jre\\none.dll (NOT FOUND)");
    EXPECT_EQ(Choose("minver=9.0\n", ForcedTestVm()), TestVmPath());
}

TEST_F(RegistryRuntimes, NoAcceptableRuntimeIsError10AfterTheFilesWereExtracted) {
    AddRuntime("1.3.1");
    auto contents = DemoContents("jars=app.jar;\n");
    contents.sections = {FileSection('F', "app.jar", "application")};
    const std::string exe = BuildLauncherFile(contents, folder_);
    const std::string temp = NewFolder("no-java-temp");
    const RunResult quiet = RunLauncher(exe, "-D* -Q*", {temp});
    EXPECT_EQ(quiet.exit_code, 10);
    EXPECT_TRUE(HasLogLine(quiet.output, "extracted=app.jar")) << quiet.output;
    EXPECT_EQ(LogValue(quiet.output, "jvm="), "");
    EXPECT_EQ(quiet.output.find("ERROR #"), std::string::npos);  // quiet: no message
    const std::string temp_folder = LogValue(quiet.output, "temp.folder=");
    ASSERT_FALSE(temp_folder.empty());
    EXPECT_FALSE(PathExists(temp_folder));  // the clean-up copy removed it
}

// A launcher that carries a Java runtime installer runs it when no runtime is installed, and
// looks again.
TEST_F(RegistryRuntimes, TheCarriedInstallerRunsWhenNoRuntimeIsFound) {
    Bytes installer;
    ASSERT_TRUE(ReadWholeFile(JavaInstallerDoublePath(), &installer));
    const std::string lib = folder_ + "installed\\jvm.dll";
    MakeFolders(folder_ + "installed");
    ASSERT_TRUE(CopyFileA(TestVmPath().c_str(), lib.c_str(), FALSE));
    struct Case {
        const char* what;
        std::string runtime_txt;  // what the installer installs; empty: nothing
        int exit_code;
    };
    const Case cases[] = {
        {"installs a runtime in range", "version=1.6.0\nlib=" + lib + "\n", 0},
        {"installs a runtime out of range", "version=1.3.1\nlib=" + lib + "\n", 15},
        {"installs nothing", "", 15},
    };
    for (const Case& c : cases) {
        Clear();
        auto contents = DemoContents("a=b\n");
        contents.sections.push_back(
            {'J', pantrix_pack::MakeFileRecord("setup/install_java.exe", installer)});
        if (!c.runtime_txt.empty())
            contents.sections.push_back(FileSection('F', "setup/runtime.txt", c.runtime_txt));
        const std::string exe = BuildLauncherFile(contents, folder_);
        // A temporary path with a blank: the installer's path must reach CreateProcess whole.
        const std::string temp = NewFolder("installer temp");
        const RunResult run = RunLauncher(exe, "-D* -Q*", {temp});
        EXPECT_EQ(run.exit_code, c.exit_code) << c.what << "\n" << run.output;
        const std::string temp_folder = LogValue(run.output, "temp.folder=");
        EXPECT_EQ(LogValue(run.output, "getjava="), temp_folder + "\\setup/install_java.exe")
            << c.what;
        EXPECT_NE(LogValue(run.output, "getjava=process="), "0") << c.what;
        EXPECT_TRUE(HasLogLine(run.output, "getjava=DONE")) << c.what;
        if (c.exit_code == 0) {
            EXPECT_EQ(LogValue(run.output, "jvm="), lib) << c.what;
        }
        EXPECT_FALSE(PathExists(temp_folder)) << c.what;
    }
}

}  // namespace
}  // namespace launchertest

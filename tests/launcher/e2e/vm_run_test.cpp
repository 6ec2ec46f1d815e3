// The Java application run inside the launcher, against the test double of a VM library:
// the options table and the boot call's arguments as the VM receives them, the errors of the
// VM steps, the boot class's own message, the exit and abort hooks, and the control channel
// asked by another process while the application runs. Every run must leave no temporary
// folder behind and make no call that the JNI contract forbids.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "launcher_fixture.h"

namespace launchertest {
namespace {

std::string WithoutTrailingSlash(std::string path) {
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

std::vector<std::string> ContractErrors(const std::vector<std::string>& record) {
    std::vector<std::string> errors;
    for (const std::string& line : record)
        if (StartsWith(line, "ERROR")) errors.push_back(line);
    return errors;
}

// The UTF-8 form of a text in the system code page, non-ASCII bytes written as the test
// double's record writes them ("\xC3\xA9").
std::string EscapedUtf8OfAnsi(const char* text) {
    wchar_t wide[64] = {};
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 64);
    char utf8[256] = {};
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof(utf8), nullptr, nullptr);
    std::string escaped;
    for (const char* c = utf8; *c; ++c) {
        char hex[8];
        std::snprintf(hex, sizeof(hex), "\\x%02X", static_cast<unsigned char>(*c));
        escaped += static_cast<unsigned char>(*c) < 0x80 ? std::string(1, *c) : hex;
    }
    return escaped;
}

TEST(JavaRun, TheVmReceivesTheOptionsTableAndTheBootArguments) {
    const std::string folder = NewFolder("boot-args");
    const std::string record = folder + "record.txt";
    const std::string settings = "mx=300\njars=app.jar;\njop=-Dx=1 \"-Dy=a b\"\nmain=demo.Main\n";
    auto contents = DemoContents(settings);
    contents.sections = {FileSection('F', "app.jar", "application"),
                         {'Z', TextBytes("opaque")},
                         BootClassSection("record=" + record + "\n")};
    const std::string exe = BuildLauncherFile(contents, folder);
    Bytes built;
    ASSERT_TRUE(ReadWholeFile(exe, &built));
    const std::string marker = "JKMNPQSTVWYZ\\]_Z";
    const size_t z_offset = std::string(built.begin(), built.end()).find(marker);
    ASSERT_NE(z_offset, std::string::npos);

    struct Case {
        std::string options;
        std::string run_mode;
        std::string heap;
    };
    const Case cases[] = {{"-D* -Q* -3*", "RD", "-Xmx384m"}, {"-Q*", "R", "-Xmx300m"}};
    for (const Case& c : cases) {
        DeleteFileA(record.c_str());
        const std::string temp = NewFolder("boot-args-temp");
        // 20 arguments more than fit in the 16 local references a VM guarantees.
        std::string arguments = "first \"second arg\" caf\xE9";
        for (int i = 0; i < 20; ++i) arguments += " a" + std::to_string(i);
        const RunResult run =
            RunLauncher(exe, c.options + " " + ForcedTestVm() + " " + arguments, {temp});
        EXPECT_EQ(run.exit_code, 0) << run.output;
        const std::vector<std::string> lines = FileLines(record);
        const std::string temp_folder = RecordValue(lines, "boot[2]=");
        ASSERT_TRUE(StartsWith(temp_folder, temp + "JX")) << c.options;
        const std::string module_dir = WithoutTrailingSlash(folder);

        EXPECT_EQ(RecordValue(lines, "JNI_CreateJavaVM "),
                  "version=0x10002 options=7 ignoreUnrecognized=1");
        EXPECT_EQ(RecordValue(lines, "option[0]="), "-Djava.class.path=" + temp_folder + ";" +
                                                        temp_folder + "\\app.jar;" + module_dir);
        EXPECT_TRUE(StartsWith(RecordValue(lines, "option[1]="),
                               "-Djava.library.path=" + temp_folder + ";" + module_dir + ";"));
        EXPECT_EQ(RecordValue(lines, "option[2]="), "exit (hook)");
        EXPECT_EQ(RecordValue(lines, "option[3]="), "abort (hook)");
        EXPECT_EQ(RecordValue(lines, "option[4]="), c.heap);
        EXPECT_EQ(RecordValue(lines, "option[5]="), "-Dx=1");
        EXPECT_EQ(RecordValue(lines, "option[6]="), "-Dy=a b");  // without its quotes

        EXPECT_EQ(RecordValue(lines, "boot.count="), "28");
        EXPECT_EQ(RecordValue(lines, "boot[0]="), c.run_mode);
        EXPECT_EQ(RecordValue(lines, "boot[1]="), exe);
        EXPECT_EQ(RecordValue(lines, "boot[3]="),
                  "mx=300\\njars=app.jar;\\njop=-Dx=1 \"-Dy=a b\"\\nmain=demo.Main\\n");
        EXPECT_EQ(RecordValue(lines, "boot[4]="), "," + std::to_string(z_offset));
        EXPECT_EQ(RecordValue(lines, "boot[5]="), "first");
        EXPECT_EQ(RecordValue(lines, "boot[6]="), "second arg");
        // An 8-bit argument in the system code page reaches Java as its character.
        EXPECT_EQ(RecordValue(lines, "boot[7]="), "caf" + EscapedUtf8OfAnsi("\xE9"));
        EXPECT_EQ(RecordValue(lines, "boot[27]="), "a19");
        EXPECT_LE(std::stoi(RecordValue(lines, "most.live.refs=")), 16);
        EXPECT_EQ(ContractErrors(lines), std::vector<std::string>{});
        EXPECT_FALSE(PathExists(temp_folder));
        if (c.run_mode == "RD") {
            EXPECT_TRUE(HasLogLine(run.output, "JOP='-Dx=1 \"-Dy=a b\"'")) << run.output;
            EXPECT_TRUE(HasLogLine(run.output, "jop=-Dy=a b"));
        }
    }
}

TEST(JavaRun, APrivateRuntimeLoadsFromItsRuntimeFolder) {
    const std::string folder = NewFolder("private-runtime");
    MakeFolders(folder + "jre\\bin\\client");
    ASSERT_TRUE(
        CopyFileA(TestVmPath().c_str(), (folder + "jre\\bin\\client\\jvm.dll").c_str(), FALSE));
    const std::string record = folder + "record.txt";
    auto contents = DemoContents("jvm=jre\\bin\\client\\jvm.dll\n");
    contents.sections = {BootClassSection("record=" + record + "\n")};
    const RunResult run = RunLauncher(BuildLauncherFile(contents, folder), "-Q*",
                                      {NewFolder("private-runtime-temp")});
    EXPECT_EQ(run.exit_code, 0) << run.output;
    EXPECT_EQ(RecordValue(FileLines(record), "loaded.in="), folder + "jre\\bin");
}

// Each case runs a launcher whose VM or boot class behaves in one way; quiet runs show
// nothing and end with the message's number.
TEST(JavaRun, EveryOutcomeEndsWithItsExitCodeAndCleansUp) {
    std::string jop95, jop96;
    for (int i = 0; i < 95; ++i) jop95 += " -Dp" + std::to_string(i) + "=1";
    jop96 = jop95 + " -Dlast=1";
    struct Case {
        const char* what;
        std::string settings;
        std::string script;  // null: no boot class
        bool boot_class;
        std::string vm;  // empty: the test double
        int exit_code;
        std::string log_line;  // a line the log must hold, or empty
    };
    const Case cases[] = {
        {"normal end", "a=b\n", "", true, "", 0, "vm.exit.wait.end"},
        {"no VM library", "a=b\n", "", true, "C:\\no\\such\\jvm.dll", 11, ""},
        {"a library without JNI_CreateJavaVM", "a=b\n", "", true,
         "C:\\windows\\system32\\kernel32.dll", 11, ""},
        {"the VM is not created", "a=b\n", "create=-6\n", true, "", 12, ""},
        {"no boot class on the class path", "a=b\n", "", false, "", 13, ""},
        {"the boot method throws", "a=b\n", "boot=throw oops\n", true, "", 14, "vm.java.returned"},
        {"the boot class's numbered message", "a=b\n", "boot=return 55: refused\n", true, "", 55,
         "vm.java.returned"},
        {"a message without a number", "a=b\n", "boot=return just a note\n", true, "", 0,
         "vm.java.returned"},
        {"a message longer than the message buffer", "a=b\n",
         "boot=return 56: " + std::string(5000, 'x') + "\n", true, "", 56, "vm.java.returned"},
        {"the exit hook", "a=b\n", "boot=exit 7\n", true, "", 7, "jvm.exitHook=7"},
        {"the abort hook", "a=b\n", "boot=abort\n", true, "", 666, "jvm.abortHook()"},
        {"95 jop tokens fit", "jop=" + jop95 + "\n", "", true, "", 0, "jop=-Dp94=1"},
        {"96 jop tokens do not", "jop=" + jop96 + "\n", "", true, "", 50, ""},
    };
    const std::string folder = NewFolder("outcomes");
    const std::string record = folder + "record.txt";
    for (const Case& c : cases) {
        DeleteFileA(record.c_str());
        auto contents = DemoContents(c.settings);
        contents.sections.clear();
        if (c.boot_class)
            contents.sections = {BootClassSection("record=" + record + "\n" + c.script)};
        const std::string exe = BuildLauncherFile(contents, folder);
        const std::string temp = NewFolder("outcomes-temp");
        const std::string vm = c.vm.empty() ? TestVmPath() : c.vm;
        const RunResult run = RunLauncher(exe, "-D* -Q* -jvm:" + vm, {temp});
        EXPECT_EQ(run.exit_code, c.exit_code) << c.what << "\n" << run.output;
        EXPECT_EQ(run.output.find("ERROR #"), std::string::npos) << c.what;
        if (!c.log_line.empty()) {
            EXPECT_TRUE(HasLogLine(run.output, c.log_line)) << c.what;
        }
        EXPECT_TRUE(
            StartsWith(LogLines(run.output).back(), "C.exit(" + std::to_string(c.exit_code)))
            << c.what << "\n"
            << run.output;
        EXPECT_EQ(ContractErrors(FileLines(record)), std::vector<std::string>{}) << c.what;
        const std::string temp_folder = LogValue(run.output, "temp.folder=");
        ASSERT_FALSE(temp_folder.empty()) << c.what;
        EXPECT_FALSE(PathExists(temp_folder)) << c.what;
    }
}

TEST(JavaRun, TheVmDescribesAnUnexpectedException) {
    const std::string folder = NewFolder("exception");
    auto contents = DemoContents("a=b\n");
    contents.sections = {BootClassSection("boot=throw broken state\n")};
    const RunResult run = RunLauncher(BuildLauncherFile(contents, folder), "-Q* " + ForcedTestVm(),
                                      {NewFolder("exception-temp")});
    EXPECT_EQ(run.exit_code, 14);
    EXPECT_NE(run.output.find("Exception in thread \"main\" java.lang.IllegalStateException: "
                              "broken state"),
              std::string::npos)
        << run.output;
}

// A client of the control channel, as another program would be.
class ControlClient {
  public:
    explicit ControlClient(const std::string& id) {
        mapping_ =
            OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, ("Local\\tolvimer-mem-" + id).c_str());
        if (mapping_)
            memory_ = static_cast<char*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, 2048));
        lock_ =
            OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, ("tolvimer-lock-" + id).c_str());
        start_ = OpenEventA(EVENT_MODIFY_STATE, FALSE, ("tolvimer-start-event-" + id).c_str());
        end_ = OpenEventA(SYNCHRONIZE, FALSE, ("tolvimer-end-event-" + id).c_str());
    }
    ~ControlClient() {
        if (memory_) UnmapViewOfFile(memory_);
        for (HANDLE h : {mapping_, lock_, start_, end_})
            if (h) CloseHandle(h);
    }
    bool valid() const { return memory_ && lock_ && start_ && end_; }

    // Writes the request (all its bytes, a zero byte after them when they leave room) and
    // returns the reply, or "(no reply)" when none comes within ten seconds.
    std::string Ask(const std::string& request) {
        WaitForSingleObject(lock_, INFINITE);
        std::memset(memory_, 'x', 2048);
        std::memcpy(memory_, request.data(), request.size() < 1024 ? request.size() : 1024);
        if (request.size() < 1024) memory_[request.size()] = '\0';
        ReleaseMutex(lock_);
        SetEvent(start_);
        if (WaitForSingleObject(end_, 10000) != WAIT_OBJECT_0) return "(no reply)";
        WaitForSingleObject(lock_, INFINITE);
        const std::string reply(memory_ + 1024, strnlen(memory_ + 1024, 1024));
        ReleaseMutex(lock_);
        return reply;
    }

  private:
    HANDLE mapping_ = nullptr;
    char* memory_ = nullptr;
    HANDLE lock_ = nullptr;
    HANDLE start_ = nullptr;
    HANDLE end_ = nullptr;
};

// Waits up to 20 seconds for a line that starts with key in the record; returns its value.
std::optional<std::string> WaitForRecord(const std::string& record, const std::string& key) {
    for (int waited = 0; waited < 20000; waited += 50) {
        for (const std::string& line : FileLines(record))
            if (StartsWith(line, key)) return line.substr(key.size());
        Sleep(50);
    }
    return std::nullopt;
}

TEST(ControlChannel, AnswersStatusAndDumpsStacksOnlyWhileTheApplicationRuns) {
    const std::string folder = NewFolder("control");
    const std::string record = folder + "record.txt";
    const std::string boot_done = folder + "boot-done";
    const std::string app_done = folder + "app-done";
    auto contents = DemoContents("a=b\n");
    contents.sections = {BootClassSection("record=" + record + "\nboot-wait=" + boot_done +
                                          "\ndestroy-wait=" + app_done +
                                          "\ndump=\"main\" at demo.Main.run\n")};
    const std::string exe = BuildLauncherFile(contents, folder, "Control Demo.exe");
    RunningLauncher running;
    ASSERT_TRUE(StartLauncher(exe, "-Q* " + ForcedTestVm(), {NewFolder("control-temp")}, &running));

    const std::string temp_folder = WaitForRecord(record, "boot[2]=").value_or("");
    ASSERT_FALSE(temp_folder.empty());
    const std::string id = temp_folder.substr(temp_folder.rfind('\\') + 1);
    ControlClient client(id);
    ASSERT_TRUE(client.valid()) << id;

    // The built-in exe name, not the file's current name.
    EXPECT_EQ(client.Ask("status"),
              "Demo.exe [PID=" + std::to_string(running.process.dwProcessId) + "]");
    EXPECT_EQ(client.Ask(""), "");
    EXPECT_EQ(client.Ask("hello there"), "");
    EXPECT_EQ(client.Ask("dumpAllStacks"), "");         // no file named
    EXPECT_EQ(client.Ask(std::string(1024, 's')), "");  // no zero byte: read up to 1024 bytes
    const std::string dump = folder + "dump one.txt";
    EXPECT_EQ(client.Ask("dumpAllStacks \"" + dump + "\""), "OK");
    Bytes dumped;
    ASSERT_TRUE(ReadWholeFile(dump, &dumped));
    EXPECT_EQ(std::string(dumped.begin(), dumped.end()),
              "Full thread dump (test double):\r\n\"main\" at demo.Main.run\r\n");
    EXPECT_EQ(RecordValue(FileLines(record), "AttachCurrentThread "),
              "version=0x10002 name=pantrix-control");

    // Once the boot method has returned, the main thread destroys the VM: no dump may start.
    ASSERT_TRUE(WriteWholeFile(boot_done, TextBytes("")));
    ASSERT_TRUE(WaitForRecord(record, "DestroyJavaVM").has_value());
    const std::string late_dump = folder + "dump two.txt";
    EXPECT_EQ(client.Ask("dumpAllStacks \"" + late_dump + "\""), "");
    EXPECT_FALSE(PathExists(late_dump));
    EXPECT_TRUE(StartsWith(client.Ask("status"), "Demo.exe [PID="));

    ASSERT_TRUE(WriteWholeFile(app_done, TextBytes("")));
    const RunResult run = FinishLauncher(&running);
    EXPECT_EQ(run.exit_code, 0) << run.output;
    EXPECT_EQ(ContractErrors(FileLines(record)), std::vector<std::string>{});
    EXPECT_FALSE(PathExists(temp_folder));
}

}  // namespace
}  // namespace launchertest

#include "java_vm.h"

#include <windows.h>

#include <jni.h>

#include <cstdio>
#include <cstring>

#include "control_channel.h"
#include "diagnostics.h"
#include "java_paths.h"
#include "java_text.h"
#include "vm_options.h"
#include "win_handles.h"

namespace pantrix {
namespace {

using CreateJavaVmFunction = jint(JNICALL*)(JavaVM** vm, void** env, void* arguments);
using SetDllDirectoryFunction = BOOL(WINAPI*)(const char* folder);

constexpr char kBootClass[] = "tolvimerboot";
constexpr char kBootMethod[] = "boot";
constexpr char kBootSignature[] = "([Ljava/lang/String;)Ljava/lang/String;";
// A 32-bit VM exports its __stdcall functions with their decorated names; on x64 there is
// only one calling convention and no decoration.
#if defined(_WIN64)
constexpr char kDumpAllStacksExport[] = "JVM_DumpAllStacks";
#else
constexpr char kDumpAllStacksExport[] = "_JVM_DumpAllStacks@8";
#endif
constexpr size_t kFolderSize = 360;

// Called by the VM when the application asks for the process to end.
void JNICALL ExitHook(jint code) {
    Log("jvm.exitHook=%d", static_cast<int>(code));
    Exit(static_cast<int>(code));
}

// Called by the VM when it aborts.
void JNICALL AbortHook() {
    std::fwrite("\r\n", 1, 2, stdout);
    Log("jvm.abortHook()");
    if (!DiagnosticsQuiet()) ShowMessageBox("The Java VM is aborting...", MB_ICONERROR);
    Exit(666);
}

template <typename Function>
Function LibraryFunction(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// Loads the library with its runtime folder as the current folder and as the DLL search
// folder, so that it finds the runtime's other libraries; both are restored afterwards.
HMODULE LoadVmLibrary(const char* vm_path) {
    HMODULE kernel = GetModuleHandleA("kernel32");
    const auto set_dll_directory =
        kernel ? LibraryFunction<SetDllDirectoryFunction>(kernel, "SetDllDirectoryA") : nullptr;
    char previous[kFolderSize] = {};
    const DWORD previous_length = GetCurrentDirectoryA(sizeof(previous), previous);
    const bool previous_read = previous_length > 0 && previous_length < sizeof(previous);

    char runtime[kFolderSize] = {};
    bool has_runtime = false;
    if (const auto folder = RuntimeFolderOf(vm_path); folder && folder->size() < sizeof(runtime)) {
        std::memcpy(runtime, folder->data(), folder->size());
        has_runtime = true;
    }
    if (previous_read && has_runtime) SetCurrentDirectoryA(runtime);
    if (has_runtime && set_dll_directory) set_dll_directory(runtime);
    HMODULE library = LoadLibraryA(vm_path);
    if (set_dll_directory) set_dll_directory(nullptr);
    if (previous_read) SetCurrentDirectoryA(previous);
    return library;
}

// The launcher's 8-bit text (system code page) as a Java string.
jstring NewJavaString(JNIEnv* env, const char* text) {
    const int units = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (units <= 1) return env->NewStringUTF("");
    CountedBuffer wide(static_cast<size_t>(units) * sizeof(wchar_t));
    auto* wide_text = reinterpret_cast<wchar_t*>(wide.get());
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide_text, units);
    CountedBuffer utf16(static_cast<size_t>(units) * sizeof(char16_t));
    auto* utf16_text = reinterpret_cast<char16_t*>(utf16.get());
    for (int i = 0; i < units; ++i) utf16_text[i] = static_cast<char16_t>(wide_text[i]);
    const CountedBuffer java = ModifiedUtf8FromUtf16(utf16_text, static_cast<size_t>(units - 1));
    return env->NewStringUTF(java.get());
}

// A Java string's text in the system code page, cut to the message buffer.
void CopyJavaString(JNIEnv* env, jstring text, LaunchError* error) {
    const char* utf = env->GetStringUTFChars(text, nullptr);
    if (!utf) return;
    const size_t bytes = std::strlen(utf);
    CountedBuffer utf16((bytes + 1) * sizeof(char16_t));
    auto* utf16_text = reinterpret_cast<char16_t*>(utf16.get());
    const size_t units = Utf16FromModifiedUtf8(utf, utf16_text);
    env->ReleaseStringUTFChars(text, utf);
    CountedBuffer wide((units + 1) * sizeof(wchar_t));
    auto* wide_text = reinterpret_cast<wchar_t*>(wide.get());
    for (size_t i = 0; i < units; ++i) wide_text[i] = static_cast<wchar_t>(utf16_text[i]);
    wide_text[units] = L'\0';
    const int written =
        WideCharToMultiByte(CP_ACP, 0, wide_text, -1, error->text,
                            static_cast<int>(sizeof(error->text)), nullptr, nullptr);
    if (written == 0) {
        // Too long for the buffer: convert in full and cut.
        error->text[0] = '\0';
        const int needed =
            WideCharToMultiByte(CP_ACP, 0, wide_text, -1, nullptr, 0, nullptr, nullptr);
        if (needed <= 0) return;
        CountedBuffer whole(static_cast<size_t>(needed));
        WideCharToMultiByte(CP_ACP, 0, wide_text, -1, whole.get(), needed, nullptr, nullptr);
        std::snprintf(error->text, sizeof(error->text), "%s", whole.get());
    }
}

// The boot method's String[]: run mode, launcher path, temporary folder, settings text, Z
// offsets, then the application's arguments. Null with an exception pending when the VM runs
// out of memory.
jobjectArray BootArguments(JNIEnv* env, const JavaRunInput& input) {
    const char* fixed[] = {DiagnosticsLogEnabled() ? "RD" : "R", input.module_path,
                           input.temp_folder, nullptr, input.z_offsets};
    const CountedBuffer settings = CopyText(input.settings.data(), input.settings.size());
    fixed[3] = settings.get();
    const jsize fixed_count = sizeof(fixed) / sizeof(fixed[0]);
    const jsize length = fixed_count + input.argument_count;

    const jclass string_class = env->FindClass("java/lang/String");
    if (!string_class) return nullptr;
    const jstring empty = env->NewStringUTF("");
    if (!empty) return nullptr;
    const jobjectArray array = env->NewObjectArray(length, string_class, empty);
    env->DeleteLocalRef(empty);
    env->DeleteLocalRef(string_class);
    if (!array) return nullptr;
    for (jsize i = 0; i < length; ++i) {
        const char* text = i < fixed_count ? fixed[i] : input.arguments[i - fixed_count];
        const jstring element = NewJavaString(env, text);
        if (!element) return nullptr;
        env->SetObjectArrayElement(array, i, element);
        env->DeleteLocalRef(element);  // the array holds it; keeps within the local frame
    }
    return array;
}

// Creates the VM; false with error 12 when the library refuses.
bool CreateVm(CreateJavaVmFunction create, const VmOptionTexts& texts, const char* vm_path,
              JavaVM** vm, JNIEnv** env, LaunchError* error) {
    JavaVMOption options[kMaxVmOptions] = {};
    for (int i = 0; i < texts.count; ++i)
        options[i].optionString = const_cast<char*>(texts.texts[i]);
    options[kExitHookOption].extraInfo = reinterpret_cast<void*>(&ExitHook);
    options[kAbortHookOption].extraInfo = reinterpret_cast<void*>(&AbortHook);
    JavaVMInitArgs arguments{};
    arguments.version = JNI_VERSION_1_2;
    arguments.nOptions = texts.count;
    arguments.options = options;
    arguments.ignoreUnrecognized = JNI_TRUE;
    const jint result = create(vm, reinterpret_cast<void**>(env), &arguments);
    if (result < 0) {
        SetLaunchError(error, kMsgCreateVm, static_cast<int>(result), vm_path);
        return false;
    }
    return true;
}

// Calls the boot method; afterwards error holds its message or error 14, or nothing.
void CallBoot(JNIEnv* env, jclass boot_class, jmethodID boot, const JavaRunInput& input,
              LaunchError* error) {
    const jobjectArray arguments = BootArguments(env, input);
    jobject result = nullptr;
    if (arguments) {
        Log("vm.java.invoke");
        result = env->CallStaticObjectMethod(boot_class, boot, arguments);
        Log("vm.java.returned");
    }
    // With an exception pending the result means nothing, and no other JNI call but the
    // exception functions may be made.
    if (env->ExceptionCheck()) {
        env->ExceptionDescribe();
        SetLaunchError(error, kMsgVmException, input.vm_path);
        return;
    }
    if (result) CopyJavaString(env, static_cast<jstring>(result), error);
}

}  // namespace

bool RunJavaApplication(const JavaRunInput& input, LaunchError* error) {
    Log("java.class.path=%s", input.class_path);
    Log("java.library.path=%s", input.library_path);
    Log("jvm=%s", input.vm_path);
    if (input.jop) Log("JOP='%.*s'", static_cast<int>(input.jop->size()), input.jop->data());
    VmOptionTexts texts;
    if (!BuildVmOptionTexts(input.class_path, input.library_path, input.heap, input.jop, &texts,
                            error))
        return false;
    for (int i = texts.jop_first; i < texts.count; ++i) Log("jop=%s", texts.texts[i]);

    const HMODULE library = LoadVmLibrary(input.vm_path);
    const auto create =
        library ? LibraryFunction<CreateJavaVmFunction>(library, "JNI_CreateJavaVM") : nullptr;
    const auto dump =
        library ? LibraryFunction<DumpAllStacksFunction>(library, kDumpAllStacksExport) : nullptr;
    if (!create) {
        SetLaunchError(error, kMsgLoadVm, input.vm_path);
        return false;
    }
    JavaVM* vm = nullptr;
    JNIEnv* env = nullptr;
    if (!CreateVm(create, texts, input.vm_path, &vm, &env, error)) return false;

    const jclass boot_class = env->FindClass(kBootClass);
    const jmethodID boot =
        boot_class ? env->GetStaticMethodID(boot_class, kBootMethod, kBootSignature) : nullptr;
    if (!boot) {
        SetLaunchError(error, kMsgBootClass, input.vm_path);
        return false;
    }
    StartControlChannel(input.run_identifier, input.exe_name);
    ControlChannelSetVm(vm, dump);
    CallBoot(env, boot_class, boot, input, error);
    // From here on no stack dump may start: the VM is going away.
    ControlChannelClearVm();
    if (!error->failed()) {
        Log("vm.exit.wait.start");
        vm->DestroyJavaVM();
        Log("vm.exit.wait.end");
    }
    return !error->failed();
}

}  // namespace pantrix

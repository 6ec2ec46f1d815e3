// A test double of a Java VM library (jvm.dll), not a Java VM: no Windows Java runtime can be
// had on the build machines, so the launcher's tests load this library in its place. It offers
// what the launcher expects of a VM library: JNI_CreateJavaVM, the invocation interface, the
// JNI functions the launcher calls, and the stack-dump export.
//
// Its "classes" are text files. The class "tolvimerboot" is found when the class path holds
// a folder with a file tolvimerboot.class, or an archive file, whose first line is
// "tolvimerboot"; the lines after it tell the double what to do:
//   record=PATH        append what the double receives and does to this file (see Record)
//   create=N           JNI_CreateJavaVM returns N (a negative N: the VM is not created)
//   boot=return TEXT   the boot method returns TEXT
//   boot=throw TEXT    the boot method throws (an exception stays pending)
//   boot=exit N        a VM thread calls the exit hook with N while the boot method waits
//   boot=abort         the boot method calls the abort hook
//   boot-wait=PATH     the boot method returns only once PATH exists
//   destroy-wait=PATH  DestroyJavaVM returns only once PATH exists (the application's last
//                      thread still running)
//   dump=TEXT          a line the stack dump prints after its heading
// Every wait gives up after 60 seconds, so a broken test cannot hang for good. Calls that the
// JNI contract forbids (a JNI call other than the exception functions while an exception is
// pending, a dump or attach once DestroyJavaVM has begun, an index outside an array) are
// recorded as lines starting with "ERROR".
#define _JNI_IMPLEMENTATION_
#define JNIEXPORT
#include <windows.h>

#include <jni.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char kBootSignature[] = "([Ljava/lang/String;)Ljava/lang/String;";
constexpr DWORD kWaitLimitMs = 60000;

// The double's objects: classes, strings, arrays, the pending exception.
struct Object {
    enum Kind { kClass, kString, kArray, kThrowable } kind;
    std::string text;  // class name, string bytes (modified UTF-8), exception message
    std::vector<Object*> elements;
};

struct Double {
    CRITICAL_SECTION lock;
    std::string load_folder;  // the current folder while the library was loaded
    std::string record_path;
    std::vector<std::pair<std::string, std::string>> script;
    std::string boot_source;  // the class path entry that holds the boot class, or empty
    void(JNICALL* exit_hook)(jint) = nullptr;
    void(JNICALL* abort_hook)() = nullptr;
    Object* pending = nullptr;  // one exception, as the main thread's only
    std::atomic<bool> destroying{false};
    int live_refs = 0;
    int most_live_refs = 0;
    Object boot_class{Object::kClass, "tolvimerboot", {}};
    Object string_class{Object::kClass, "java/lang/String", {}};
    char boot_method = 0;  // its address is the boot method's ID
};
Double state;

JNINativeInterface_ env_functions;
JNIInvokeInterface_ vm_functions;
JNIEnv_ the_env{&env_functions};
JavaVM_ the_vm{&vm_functions};

std::string Escaped(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20 || c >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof(hex), "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// Record: one line per event, appended and flushed at once so that a test can read it while
// the launcher runs.
void Record(const char* format, ...) {
    if (state.record_path.empty()) return;
    char line[8192];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof(line), format, args);
    va_end(args);
    EnterCriticalSection(&state.lock);
    if (FILE* file = std::fopen(state.record_path.c_str(), "ab")) {
        std::fprintf(file, "%s\r\n", line);
        std::fclose(file);
    }
    LeaveCriticalSection(&state.lock);
}

const std::string* Instruction(const char* name) {
    for (const auto& [key, value] : state.script)
        if (key == name) return &value;
    return nullptr;
}

bool WaitForPath(const std::string& path) {
    for (DWORD waited = 0; waited < kWaitLimitMs; waited += 20) {
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
        Sleep(20);
    }
    return false;
}

void WriteStd(DWORD which, const std::string& text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(which), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

bool ReadText(const std::string& path, std::string* text) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    char buffer[4096];
    size_t got;
    text->clear();
    while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0) text->append(buffer, got);
    std::fclose(file);
    return true;
}

// Looks for the boot class along the class path and reads its script.
void FindBootClass(const std::string& class_path) {
    size_t start = 0;
    while (start <= class_path.size()) {
        size_t end = class_path.find(';', start);
        if (end == std::string::npos) end = class_path.size();
        const std::string entry = class_path.substr(start, end - start);
        start = end + 1;
        if (entry.empty()) continue;
        const DWORD attributes = GetFileAttributesA(entry.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) continue;
        const std::string file =
            (attributes & FILE_ATTRIBUTE_DIRECTORY) ? entry + "\\tolvimerboot.class" : entry;
        std::string text;
        if (!ReadText(file, &text)) continue;
        if (text.compare(0, 13, "tolvimerboot\n") != 0 && text != "tolvimerboot") continue;
        state.boot_source = entry;
        size_t line_start = 13;
        while (line_start < text.size()) {
            size_t line_end = text.find('\n', line_start);
            if (line_end == std::string::npos) line_end = text.size();
            const std::string line = text.substr(line_start, line_end - line_start);
            line_start = line_end + 1;
            const size_t equals = line.find('=');
            if (equals != std::string::npos)
                state.script.emplace_back(line.substr(0, equals), line.substr(equals + 1));
        }
        return;
    }
}

jobject NewRef(Object* object) {
    if (++state.live_refs > state.most_live_refs) state.most_live_refs = state.live_refs;
    return reinterpret_cast<jobject>(object);
}

Object* Of(jobject object) {
    return reinterpret_cast<Object*>(object);
}

// JNI calls other than the exception functions are not allowed with an exception pending.
void CheckNoPending(const char* function) {
    if (state.pending) Record("ERROR: %s called with an exception pending", function);
}

void Throw(const std::string& type, const std::string& message) {
    state.pending = new Object{Object::kThrowable, type + ": " + message, {}};
}

// ---- JNI functions the launcher calls ----

jclass JNICALL FindClass(JNIEnv*, const char* name) {
    CheckNoPending("FindClass");
    Record("FindClass %s", name);
    if (std::strcmp(name, "tolvimerboot") == 0 && !state.boot_source.empty())
        return static_cast<jclass>(NewRef(&state.boot_class));
    if (std::strcmp(name, "java/lang/String") == 0)
        return static_cast<jclass>(NewRef(&state.string_class));
    Throw("java.lang.NoClassDefFoundError", name);
    return nullptr;
}

jmethodID JNICALL GetStaticMethodID(JNIEnv*, jclass owner, const char* name,
                                    const char* signature) {
    CheckNoPending("GetStaticMethodID");
    if (Of(owner) == &state.boot_class && std::strcmp(name, "boot") == 0 &&
        std::strcmp(signature, kBootSignature) == 0)
        return reinterpret_cast<jmethodID>(&state.boot_method);
    Throw("java.lang.NoSuchMethodError", name);
    return nullptr;
}

jstring JNICALL NewStringUTF(JNIEnv*, const char* utf) {
    CheckNoPending("NewStringUTF");
    return static_cast<jstring>(NewRef(new Object{Object::kString, utf, {}}));
}

jobjectArray JNICALL NewObjectArray(JNIEnv*, jsize length, jclass element_class, jobject initial) {
    CheckNoPending("NewObjectArray");
    if (Of(element_class) != &state.string_class) Record("ERROR: array of a class not String");
    return static_cast<jobjectArray>(NewRef(new Object{
        Object::kArray, "", std::vector<Object*>(static_cast<size_t>(length), Of(initial))}));
}

void JNICALL SetObjectArrayElement(JNIEnv*, jobjectArray array, jsize index, jobject value) {
    CheckNoPending("SetObjectArrayElement");
    Object* target = Of(array);
    if (index < 0 || static_cast<size_t>(index) >= target->elements.size()) {
        Record("ERROR: array index %d outside the array", static_cast<int>(index));
        return;
    }
    target->elements[static_cast<size_t>(index)] = Of(value);
}

void JNICALL DeleteLocalRef(JNIEnv*, jobject) {
    --state.live_refs;
}

DWORD WINAPI ExitHookThread(void* code) {
    Record("calling exit hook");
    state.exit_hook(static_cast<jint>(reinterpret_cast<intptr_t>(code)));
    Record("ERROR: the exit hook returned");
    return 0;
}

// The boot method, whichever of the three call forms reaches it.
jobject CallBoot(jclass owner, jmethodID method, Object* arguments) {
    CheckNoPending("CallStaticObjectMethod");
    if (Of(owner) != &state.boot_class || method != reinterpret_cast<jmethodID>(&state.boot_method))
        Record("ERROR: call of an unknown method");
    Record("boot.count=%d", static_cast<int>(arguments->elements.size()));
    for (size_t i = 0; i < arguments->elements.size(); ++i) {
        const Object* element = arguments->elements[i];
        Record("boot[%d]=%s", static_cast<int>(i),
               element ? Escaped(element->text).c_str() : "(null)");
    }
    Record("most.live.refs=%d", state.most_live_refs);

    const std::string* boot = Instruction("boot");
    const std::string action = boot ? *boot : "null";
    if (const std::string* wait = Instruction("boot-wait")) WaitForPath(*wait);
    if (action.compare(0, 7, "return ") == 0)
        return NewRef(new Object{Object::kString, action.substr(7), {}});
    if (action.compare(0, 6, "throw ") == 0) {
        Throw("java.lang.IllegalStateException", action.substr(6));
        return nullptr;
    }
    if (action.compare(0, 5, "exit ") == 0 && state.exit_hook) {
        const intptr_t code = std::atoi(action.c_str() + 5);
        HANDLE thread =
            CreateThread(nullptr, 0, ExitHookThread, reinterpret_cast<void*>(code), 0, nullptr);
        if (thread) WaitForSingleObject(thread, kWaitLimitMs);
        return nullptr;
    }
    if (action == "abort" && state.abort_hook) {
        state.abort_hook();
        Record("ERROR: the abort hook returned");
    }
    return nullptr;
}

jobject JNICALL CallStaticObjectMethod(JNIEnv*, jclass owner, jmethodID method, ...) {
    va_list args;
    va_start(args, method);
    Object* arguments = Of(va_arg(args, jobject));
    va_end(args);
    return CallBoot(owner, method, arguments);
}

jobject JNICALL CallStaticObjectMethodV(JNIEnv*, jclass owner, jmethodID method, va_list args) {
    return CallBoot(owner, method, Of(va_arg(args, jobject)));
}

jobject JNICALL CallStaticObjectMethodA(JNIEnv*, jclass owner, jmethodID method,
                                        const jvalue* args) {
    return CallBoot(owner, method, Of(args[0].l));
}

const char* JNICALL GetStringUTFChars(JNIEnv*, jstring text, jboolean* is_copy) {
    CheckNoPending("GetStringUTFChars");
    if (is_copy) *is_copy = JNI_TRUE;
    const std::string& bytes = Of(text)->text;
    char* copy = new char[bytes.size() + 1];
    std::memcpy(copy, bytes.c_str(), bytes.size() + 1);
    return copy;
}

void JNICALL ReleaseStringUTFChars(JNIEnv*, jstring, const char* chars) {
    delete[] chars;
}

jboolean JNICALL ExceptionCheck(JNIEnv*) {
    return state.pending ? JNI_TRUE : JNI_FALSE;
}

jthrowable JNICALL ExceptionOccurred(JNIEnv*) {
    return state.pending ? static_cast<jthrowable>(NewRef(state.pending)) : nullptr;
}

// As a VM does: prints the exception to standard error and clears it.
void JNICALL ExceptionDescribe(JNIEnv*) {
    if (!state.pending) return;
    WriteStd(STD_ERROR_HANDLE, "Exception in thread \"main\" " + state.pending->text + "\r\n");
    Record("ExceptionDescribe %s", state.pending->text.c_str());
    state.pending = nullptr;
}

void JNICALL ExceptionClear(JNIEnv*) {
    state.pending = nullptr;
}

// ---- the invocation interface ----

jint JNICALL DestroyJavaVM(JavaVM*) {
    state.destroying = true;
    Record("DestroyJavaVM");
    if (const std::string* wait = Instruction("destroy-wait")) WaitForPath(*wait);
    Record("DestroyJavaVM returns");
    return JNI_OK;
}

jint JNICALL AttachCurrentThread(JavaVM*, void** env, void* arguments) {
    if (state.destroying) Record("ERROR: AttachCurrentThread while the VM is being destroyed");
    const auto* attach = static_cast<JavaVMAttachArgs*>(arguments);
    Record("AttachCurrentThread version=0x%X name=%s",
           attach ? static_cast<unsigned>(attach->version) : 0u,
           attach && attach->name ? attach->name : "(none)");
    *env = &the_env;
    return JNI_OK;
}

jint JNICALL DetachCurrentThread(JavaVM*) {
    Record("DetachCurrentThread");
    return JNI_OK;
}

jint JNICALL GetEnv(JavaVM*, void** env, jint) {
    *env = &the_env;
    return JNI_OK;
}

void FillTables() {
    env_functions.FindClass = FindClass;
    env_functions.GetStaticMethodID = GetStaticMethodID;
    env_functions.NewStringUTF = NewStringUTF;
    env_functions.NewObjectArray = NewObjectArray;
    env_functions.SetObjectArrayElement = SetObjectArrayElement;
    env_functions.DeleteLocalRef = DeleteLocalRef;
    env_functions.CallStaticObjectMethod = CallStaticObjectMethod;
    env_functions.CallStaticObjectMethodV = CallStaticObjectMethodV;
    env_functions.CallStaticObjectMethodA = CallStaticObjectMethodA;
    env_functions.GetStringUTFChars = GetStringUTFChars;
    env_functions.ReleaseStringUTFChars = ReleaseStringUTFChars;
    env_functions.ExceptionCheck = ExceptionCheck;
    env_functions.ExceptionOccurred = ExceptionOccurred;
    env_functions.ExceptionDescribe = ExceptionDescribe;
    env_functions.ExceptionClear = ExceptionClear;
    vm_functions.DestroyJavaVM = DestroyJavaVM;
    vm_functions.AttachCurrentThread = AttachCurrentThread;
    vm_functions.DetachCurrentThread = DetachCurrentThread;
    vm_functions.GetEnv = GetEnv;
}

}  // namespace

extern "C" {

jint JNICALL JNI_CreateJavaVM(JavaVM** vm, void** env, void* arguments) {
    const auto* init = static_cast<JavaVMInitArgs*>(arguments);
    for (int i = 0; i < init->nOptions; ++i) {
        const std::string option = init->options[i].optionString;
        if (option.compare(0, 18, "-Djava.class.path=") == 0) FindBootClass(option.substr(18));
    }
    if (const std::string* record = Instruction("record")) state.record_path = *record;
    Record("JNI_CreateJavaVM version=0x%X options=%d ignoreUnrecognized=%d",
           static_cast<unsigned>(init->version), static_cast<int>(init->nOptions),
           static_cast<int>(init->ignoreUnrecognized));
    Record("loaded.in=%s", state.load_folder.c_str());
    for (int i = 0; i < init->nOptions; ++i) {
        const JavaVMOption& option = init->options[i];
        const std::string text = option.optionString;
        if (text == "exit")
            state.exit_hook = reinterpret_cast<void(JNICALL*)(jint)>(option.extraInfo);
        if (text == "abort")
            state.abort_hook = reinterpret_cast<void(JNICALL*)()>(option.extraInfo);
        Record("option[%d]=%s%s", i, Escaped(text).c_str(), option.extraInfo ? " (hook)" : "");
    }
    const std::string* create = Instruction("create");
    const jint result = create ? static_cast<jint>(std::atoi(create->c_str())) : JNI_OK;
    if (result < 0) return result;
    *vm = &the_vm;
    *env = &the_env;
    return result;
}

void JNICALL JVM_DumpAllStacks(JNIEnv*, jclass) {
    if (state.destroying) Record("ERROR: stack dump while the VM is being destroyed");
    Record("JVM_DumpAllStacks");
    const std::string* line = Instruction("dump");
    WriteStd(STD_OUTPUT_HANDLE,
             "Full thread dump (test double):\r\n" + (line ? *line : std::string()) + "\r\n");
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) {
        InitializeCriticalSection(&state.lock);
        FillTables();
        char folder[MAX_PATH] = {};
        GetCurrentDirectoryA(sizeof(folder), folder);
        state.load_folder = folder;
    }
    return TRUE;
}

}  // extern "C"

#pragma once

#include <windows.h>

#include <msi.h>

#include <atomic>
#include <mutex>
#include <string>

#include "script_error.h"

// Windows Installer functions are bound by name at first use, so that the setup program starts
// on systems without Windows Installer and fails only when it first needs it.
//
// A LateBoundLibrary finds its module once (GetModuleHandleA when it is already loaded, else
// LoadLibraryA) and never releases it. A LateBoundFunction is one slot: empty at start, filled
// with the address that GetProcAddress gives for its name, and kept for the rest of the process.
// Filling is safe from several threads (the library lock); a filled slot is read without it.
//
// Failures raise LateBindError, a script error: "Library not found: msi.dll" or
// "Function not found: msi.dll.MsiEnableLogA". In a script command it ends the run; callers
// that may go on without Windows Installer catch it.

class LateBindError : public ScriptError {
  public:
    explicit LateBindError(const std::string& message) : ScriptError(message) {}
};

class LateBoundLibrary {
  public:
    explicit LateBoundLibrary(std::string file_name) : file_name_(std::move(file_name)) {}
    LateBoundLibrary(const LateBoundLibrary&) = delete;
    LateBoundLibrary& operator=(const LateBoundLibrary&) = delete;

    const std::string& FileName() const { return file_name_; }

    // The address of the named export; raises LateBindError when the library or the export
    // cannot be found.
    FARPROC Resolve(const char* function_name);

  private:
    std::string file_name_;
    std::mutex lock_;
    HMODULE module_ = nullptr;  // under lock_; never freed
};

template <typename Function>
class LateBoundFunction {
  public:
    LateBoundFunction(LateBoundLibrary& library, const char* name)
        : library_(library), name_(name) {}
    LateBoundFunction(const LateBoundFunction&) = delete;
    LateBoundFunction& operator=(const LateBoundFunction&) = delete;

    // The bound function, binding it when the slot is empty.
    Function* Get() {
        Function* bound = slot_.load(std::memory_order_acquire);
        if (bound == nullptr) {
            // A function pointer of one type to another: through the generic function type,
            // which the compiler accepts without a cast warning.
            bound =
                reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(library_.Resolve(name_)));
            slot_.store(bound, std::memory_order_release);
        }
        return bound;
    }

  private:
    LateBoundLibrary& library_;
    const char* name_;
    std::atomic<Function*> slot_{nullptr};
};

// The Windows Installer library, "msi.dll".
LateBoundLibrary& MsiLibrary();

// The Windows Installer functions the engine calls, each binding its function on every call and
// then calling it with its arguments unchanged. The installer session and the product queries
// add theirs here.
UINT BoundMsiEnableLogA(DWORD log_mode, LPCSTR log_file, DWORD log_attributes);

#pragma once

#include <windows.h>

#include <cstdint>

// The plug-in interface, and one call of it that survives the library's failures.
//
// A plug-in library exports "RunTimeExecute" (stdcall):
//   int32 RunTimeExecute(window, variables, data, progress, slot, buffer)
// - window: the dialog window shown, or null;
// - variables: the whole variable store as one comma text (NUL-terminated);
// - data: the plug-in's own data, parameter 1 of its statement (NUL-terminated);
// - progress: a callback (position, text) that answers 1 to go on or 0 when cancel was requested;
// - slot: a process-wide 32-bit value that only libraries read and write;
// - buffer: null on the first call, which answers the length of the result text or -1 for a
//   failure; on the second call a buffer of length + 1 bytes that receives the result text.
using PluginProgressCallback = std::int32_t(__stdcall*)(std::int32_t position, const char* text);
using RunTimeExecuteFunction = std::int32_t(__stdcall*)(HWND window, const char* variables,
                                                        const char* data,
                                                        PluginProgressCallback progress,
                                                        std::int32_t* slot, char* buffer);

struct GuardedCall {
    bool completed = false;            // the call returned; otherwise an exception escaped it
    std::int32_t result = -1;          // what it returned, when completed
    std::uint32_t exception_code = 0;  // the structured exception that escaped, when not completed
};

// Calls `function` once. Any structured exception that the library does not handle itself (an
// access violation, a division by zero, a C++ or Delphi exception of the library's own runtime)
// is caught at this call: the frames of the library are unwound and the call reports the
// exception's code instead of a result. Exceptions that the library handles inside never reach
// this guard. C++ exceptions thrown by a GCC-built library pass through as C++ exceptions, for
// the caller's catch. The progress callback must not let exceptions escape into the library.
GuardedCall CallRunTimeExecute(RunTimeExecuteFunction function, HWND window, const char* variables,
                               const char* data, PluginProgressCallback progress,
                               std::int32_t* slot, char* buffer);

#pragma once
// 7z.dll, found through the codec registration that the engine writes: the value "Path" of
// HKEY_CURRENT_USER "SOFTWARE\Halvorne\Corvelle\Seven Zip" + "Formats\7z.dll". Loaded once per
// process and kept; a failed attempt is tried again on the next call, so an installation that
// comes later still takes effect.

#include <cstdint>

#include "com_object.h"
#include "seven_zip.h"

// A new 7z format handler, or 0 and the library's error code (1009 when 7z.dll cannot be
// found or loaded, 1011 when it refuses to create the handler).
int32_t CreateFormatHandler(TComPtr<IInArchive>& handler);

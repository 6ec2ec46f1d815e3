#pragma once
// 7-Zip's archive interfaces, as declared by its own headers from the dependency cache, and
// the class id of its 7z format handler.

#include <windows.h>
// The build leaves COM out of <windows.h> (WIN32_LEAN_AND_MEAN); 7-Zip's headers need it.
#include <ole2.h>
#include <propidl.h>

#include "CPP/7zip/Archive/IArchive.h"
#include "CPP/7zip/IPassword.h"

// {23170F69-40C1-278A-1000-000110070000}: the 7z handler in 7z.dll.
extern "C" const GUID CLSID_Format7z;

// The signature of 7z.dll's CreateObject.
using TCreateObjectFunction = HRESULT(WINAPI*)(const GUID* classId, const GUID* interfaceId,
                                               void** object);

// Defines, once for the library, the interface ids that 7-Zip's headers declare.
#include "CPP/Common/MyInitGuid.h"

#include "seven_zip.h"

extern "C" const GUID CLSID_Format7z = {
    0x23170F69, 0x40C1, 0x278A, {0x10, 0x00, 0x00, 0x01, 0x10, 0x07, 0x00, 0x00}};

#pragma once

#include "variable_store.h"

// The variable store's platform hooks on Windows: upper-casing with the system code page's
// mapping (CharUpperBuffA) and switching the file functions to the ANSI code page
// (SetFileApisToANSI) before every expansion.
StoreHooks WindowsStoreHooks();

#include "store_hooks.h"

#include <windows.h>

#include <algorithm>
#include <climits>

namespace {

void UpperCaseInSystemCodePage(char* text, std::size_t length) {
    // CharUpperBuffA maps byte for byte (double-byte characters stay in place); large texts
    // go in pieces that fit its DWORD length.
    while (length > 0) {
        const std::size_t piece = std::min<std::size_t>(length, INT_MAX);
        CharUpperBuffA(text, static_cast<DWORD>(piece));
        text += piece;
        length -= piece;
    }
}

void SwitchFileApisToAnsi() {
    SetFileApisToANSI();
}

}  // namespace

StoreHooks WindowsStoreHooks() {
    return {UpperCaseInSystemCodePage, SwitchFileApisToAnsi};
}

#pragma once

#include <array>
#include <cstddef>
#include <string_view>

// The engine message table: the engine's own translatable texts, each one line, in the order of
// a message block (line 1 first). These are the built-in texts; a message file replaces them
// with a translation block of the same order (translations.h). The rest of the engine names a
// message by its built-in text: Message("Copying: ") is looked up at compile time, so a text
// that is not in this table does not compile.

inline constexpr std::size_t kMessageBlockLines = 115;

inline constexpr std::array<std::string_view, kMessageBlockLines> kBuiltInMessages = {
    // 1
    "Please install the common controls update from Microsoft before attempting to install "
    "this product.",
    // 2 to 5
    "Setup resource not found",
    "Setup resource decompression failure",
    "Setup database not found",
    "Runtime error in install: ",
    // 6 to 8
    "bytes",
    "KB",
    "MB",
    // 9, 10
    "Attempting to get value of undefined variable ",
    "Attempting to set value of undefined variable ",
    // 11 to 16
    "Copying: ",
    "Unable to copy installation data to local folders",
    "Downloading Web Media: ",
    "Unable to download installation data from the web",
    "Extracting Web Media: ",
    "Unable to extract installation data downloaded from the web",
    // 17 to 20
    "Please locate your original setup sources to continue operation",
    "Original setup sources required to complete operation, sources not found",
    "General setup failure",
    "Runtime error in setup script:",
    // 21, 22
    "% complete",
    "bytes received",
    // 23, 24: the caption and the text of the start-up preparation window
    "Corvelle Wizard",
    "Corvelle is preparing the Corvelle Wizard which will install this application. Please "
    "wait.",
    // 25 to 32: the download retry dialog TqorProxy
    "Retry Download?",
    "Downloading of installation data from the web has failed. Would you like to try again?",
    " Proxy Information (optional) ",
    "Proxy &Server:",
    "Proxy &Port:",
    "If you choose No, setup will exit. However, you will be able to resume your download from "
    "where it left off when you re-run setup.",
    "&Yes",
    "&No",
    // 33 to 37: the extraction retry dialog TqorExtract
    "Retry Extraction?",
    "Extraction of installation data downloaded from the web has failed. What would you like "
    "to do?",
    "&Download a fresh copy of the installation data.",
    "Try to &extract the existing download data again.",
    "If you choose Cancel, setup will exit. Your existing download data will be preserved.",
    // 38 to 40
    "&OK",
    "&Cancel",
    "Are you sure you want to cancel?",
    // 41, 42
    "Proxy &User:",
    "Proxy Pass&word:",
    // 43 to 48: captions of the installer's messages
    "Fatal Error",
    "Error",
    "Warning",
    "Message",
    "Files in Use",
    "Out of Disk Space",
    // 49 to 53: the download retry dialog TqorProxyEx
    "Downloading of installation data from the web has failed. Please make sure you are "
    "connected to the Internet.",
    "Would you like to:",
    "Try to &resume the broken download?",
    "Download a &new copy of the data instead?",
    "If you choose Cancel, setup will exit. However, you will be able to resume your download "
    "from where it left off when you re-run setup.",
    // 54: the download status text for status 0
    "",
    // 55 to 87: the download status texts for codes 1 to 33
    "Locating resource",
    "Connecting to",
    "Redirecting to",
    "Beginning data transfer",
    "Transferring data",
    "Finishing data transfer",
    "Beginning component download",
    "Installing components",
    "Finishing component download",
    "Resuming broken download",
    "Requesting data",
    "CLASSID available",
    "Download data recognized",
    "Saving download information",
    "Beginning synchronous operation",
    "Finishing synchronous operation",
    "Beginning data upload",
    "Uploading data",
    "Finishing data upload",
    "Protocol CLASSID",
    "Encoding",
    "Download data recognized and verified",
    "Class install location",
    "Decoding",
    "Loading data handler",
    "Content disposition attach",
    "Download data filtered",
    "CLSID can instantiate",
    "COM services unavailable",
    "Direct bind",
    "Unrecognized download data",
    "Detecting proxy information",
    "Accept ranges",
    // 88
    "A previously executed setup still has pending operations on the system. Please restart "
    "your computer before attempting to install this product.",
    // 89, 90: the language dialog TSetLanguage
    "Select Setup Language",
    "Please select the language to use during the installation:",
    // 91 to 111: not used; read from message files and ignored
    "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
    // 112
    "Unable to play Flash movie",
    // 113 to 115: the component menu captions
    "Will be &installed on local hard drive",
    "&Entire feature will be installed on local hard drive",
    "Entire feature will be &unavailable",
};

// The line (1-based) of the download status text for a status code 0 to 33.
inline constexpr int kDownloadStatusFirstLine = 54;
inline constexpr int kDownloadStatusLastCode = 33;

namespace engine_messages_detail {

// Thrown only during constant evaluation: makes a lookup of an unknown or empty text a compile
// error.
struct UnknownBuiltInMessage {};

consteval int LineOf(std::string_view builtin) {
    if (builtin.empty()) throw UnknownBuiltInMessage{};
    for (std::size_t i = 0; i < kBuiltInMessages.size(); ++i) {
        if (kBuiltInMessages[i] == builtin) return static_cast<int>(i) + 1;
    }
    throw UnknownBuiltInMessage{};
}

consteval bool NonEmptyTextsAreUnique() {
    for (std::size_t i = 0; i < kBuiltInMessages.size(); ++i) {
        for (std::size_t j = i + 1; j < kBuiltInMessages.size(); ++j) {
            if (!kBuiltInMessages[i].empty() && kBuiltInMessages[i] == kBuiltInMessages[j]) {
                return false;
            }
        }
    }
    return true;
}

static_assert(NonEmptyTextsAreUnique(), "a built-in text names exactly one message line");

}  // namespace engine_messages_detail

// A message named by its built-in text, resolved to its line at compile time.
class MessageKey {
public:
    template <std::size_t N>
    consteval MessageKey(const char (&builtin)[N])  // NOLINT: implicit on purpose
        : line_(engine_messages_detail::LineOf(std::string_view(builtin, N - 1))) {}

    // The line within a message block, 1 to kMessageBlockLines.
    constexpr int Line() const { return line_; }

private:
    int line_;
};

#pragma once
// The failure texts of the archive operations, from the archive library's error codes.

#include <cstdint>
#include <string>

// Listing: 1001 "The archive file was not found", 1002 "Illegal path used in a wildcard
// expression", 1003 "The archive cannot be opened: unsupported archive or incorrect password",
// any other code "General failure opening archive".
std::string ListingFailureText(int32_t code);

// Extraction: "#" followed by the code in decimal.
std::string ExtractionFailureText(int32_t code);

#include "archive_failures.h"

#include <array>

namespace {

struct ListingFailure {
    int32_t code;
    const char* text;
};

constexpr std::array<ListingFailure, 3> kListingFailures = {{
    {1001, "The archive file was not found"},
    {1002, "Illegal path used in a wildcard expression"},
    {1003, "The archive cannot be opened: unsupported archive or incorrect password"},
}};

constexpr char kGeneralListingFailure[] = "General failure opening archive";

}  // namespace

std::string ListingFailureText(int32_t code) {
    for (const ListingFailure& failure : kListingFailures) {
        if (failure.code == code) return failure.text;
    }
    return kGeneralListingFailure;
}

std::string ExtractionFailureText(int32_t code) {
    return "#" + std::to_string(code);
}

// The failure texts of the archive operations.

#include "archive_failures.h"

#include <gtest/gtest.h>

namespace {

TEST(ArchiveFailures, ListingCodesHaveTheirTextsAndEveryOtherCodeTheGeneralOne) {
    const struct {
        int32_t code;
        const char* text;
    } cases[] = {
        {1001, "The archive file was not found"},
        {1002, "Illegal path used in a wildcard expression"},
        {1003, "The archive cannot be opened: unsupported archive or incorrect password"},
        {1004, "General failure opening archive"},
        {1009, "General failure opening archive"},
        {0, "General failure opening archive"},
        {-1, "General failure opening archive"},
    };
    for (const auto& c : cases) EXPECT_EQ(ListingFailureText(c.code), c.text) << c.code;
}

TEST(ArchiveFailures, ExtractionFailureIsTheCodeAfterAHash) {
    EXPECT_EQ(ExtractionFailureText(1004), "#1004");
    EXPECT_EQ(ExtractionFailureText(1006), "#1006");
    EXPECT_EQ(ExtractionFailureText(-5), "#-5");
}

}  // namespace

// Where an archive entry may be written: the one path rule of the archive library.

#include "entry_path.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* stored;
    const char* kept;  // null: refused
    const char* fileNameOnly;
};

TEST(EntryPath, KeepsRelativePathsAndRefusesEverythingThatLeavesTheTarget) {
    const Case cases[] = {
        // Ordinary paths, with either separator, and the noise that changes nothing.
        {"readme.txt", "readme.txt", "readme.txt"},
        {"docs/deep/notes.txt", "docs\\deep\\notes.txt", "notes.txt"},
        {"docs\\guide.txt", "docs\\guide.txt", "guide.txt"},
        {"docs//./guide.txt", "docs\\guide.txt", "guide.txt"},
        {"folder/", "folder", "folder"},
        {"a..b/..c/d..", "a..b\\..c\\d..", "d.."},
        {".hidden", ".hidden", ".hidden"},
        {"Caf\xC3\xA9/na\xC3\xAFve.txt", "Caf\xC3\xA9\\na\xC3\xAFve.txt", "na\xC3\xAFve.txt"},
        {"CONSOLE.txt", "CONSOLE.txt", "CONSOLE.txt"},
        {"COM0", "COM0", "COM0"},
        // Absolute, UNC and device-namespace paths.
        {"/etc/passwd", nullptr, nullptr},
        {"\\windows\\win.ini", nullptr, nullptr},
        {"\\\\server\\share\\x.txt", nullptr, nullptr},
        {"\\\\?\\C:\\x.txt", nullptr, nullptr},
        // Drive prefixes and streams.
        {"C:\\x.txt", nullptr, nullptr},
        {"C:x.txt", nullptr, nullptr},
        {"docs/file.txt:stream", nullptr, nullptr},
        // Climbing out, also in disguise.
        {"..", nullptr, nullptr},
        {"../x.txt", nullptr, nullptr},
        {"a/../../x.txt", nullptr, nullptr},
        {"a/../b.txt", nullptr, nullptr},
        {"a/.. /x.txt", nullptr, nullptr},
        {"a/.../x.txt", nullptr, nullptr},
        {"a/ . /x.txt", nullptr, nullptr},
        // Devices.
        {"NUL", nullptr, nullptr},
        {"docs/con.txt", nullptr, nullptr},
        {"Aux ", nullptr, nullptr},
        {"lpt9.log", nullptr, nullptr},
        {"CONOUT$", nullptr, nullptr},
        // Characters Windows names cannot hold, and nothing at all.
        {"what?.txt", nullptr, nullptr},
        {"a*b", nullptr, nullptr},
        {"pipe|name", nullptr, nullptr},
        {"tab\there", nullptr, nullptr},
        {"", nullptr, nullptr},
        {"./", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        const auto kept = SafeRelativePath(c.stored, false);
        const auto fileName = SafeRelativePath(c.stored, true);
        if (!c.kept) {
            EXPECT_FALSE(kept.has_value()) << *kept;
            EXPECT_FALSE(fileName.has_value()) << *fileName;
            continue;
        }
        ASSERT_TRUE(kept.has_value());
        ASSERT_TRUE(fileName.has_value());
        EXPECT_EQ(*kept, c.kept);
        EXPECT_EQ(*fileName, c.fileNameOnly);
    }
}

}  // namespace

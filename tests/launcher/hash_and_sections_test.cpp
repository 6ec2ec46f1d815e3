// The section hash, the section container and file records, on launcher images built in
// memory: a block of program bytes followed by sections written by the packaging tool.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "file_record.h"
#include "packager.h"
#include "section_container.h"
#include "section_hash.h"

namespace {

using pantrix::SectionEntry;
using pantrix_pack::Bytes;

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

uint64_t Hash(const Bytes& bytes) {
    return pantrix::SectionHash(bytes.data(), bytes.size());
}

TEST(SectionHash, MatchesReferenceValues) {
    // Values computed by a direct transcription of the definition (one multiplication per
    // byte, no blocks), so the 32-byte blocks of the fast loop are checked across their edges.
    Bytes counting;
    for (int round = 0; round < 2; ++round)
        for (int b = 0; b < 256; ++b) counting.push_back(static_cast<unsigned char>(b));
    for (char c : std::string("xyz")) counting.push_back(static_cast<unsigned char>(c));
    struct Case {
        Bytes bytes;
        uint64_t hash;
    };
    const Case cases[] = {
        {{}, 1},
        {Text("a"), 0x265e7d3791ull},
        {Text("mx=256\n"), 0x6a274f1868567305ull},
        {counting, 0x6d84ffbd1a3e8df9ull},
        {Bytes(100, 0xFF), 0x74bc4f2ff6f04dc9ull},
    };
    for (const Case& c : cases) EXPECT_EQ(Hash(c.bytes), c.hash) << c.bytes.size() << " bytes";
}

TEST(SectionHash, InverseTimesHashIsOne) {
    for (uint64_t odd : {uint64_t{1}, uint64_t{3}, uint64_t{0x6d84ffbd1a3e8df9ull}, ~uint64_t{0}})
        EXPECT_EQ(odd * pantrix::InverseModulo64(odd), 1u) << odd;
}

// A program image: filler bytes that hold no marker, then the sections.
struct Image {
    Bytes bytes;
    std::vector<size_t> headers;

    explicit Image(size_t program_size = 1000) : bytes(program_size) {
        for (size_t i = 0; i < program_size; ++i) bytes[i] = static_cast<unsigned char>(i * 7);
    }
    void Add(char type, const Bytes& payload) {
        headers.push_back(pantrix_pack::AppendSection(&bytes, type, payload));
    }
};

Image StandardImage() {
    Image image;
    image.Add('V', Text(std::string("mx=512\njars=a.jar;\n") + '\0'));
    image.Add('F', pantrix_pack::MakeFileRecord("a.jar", Text("first archive")));
    image.Add('Z', Text("opaque"));
    image.Add('B', pantrix_pack::MakeFileRecord("lib/b.jar", Text("second")));
    image.Add('Z', Text("more"));
    image.Add('J', pantrix_pack::MakeFileRecord("setup.exe", Text("installer")));
    return image;
}

struct Opened {
    bool ok;
    std::string message;
    pantrix::SectionTable table;
};

Opened Open(const Bytes& bytes, int32_t count, int32_t expected_length = 0) {
    Opened opened{};
    pantrix::LaunchError error;
    const pantrix::SectionExpectations expect{count, expected_length, "App.exe"};
    opened.ok =
        pantrix::OpenSectionTable(bytes.data(), bytes.size(), expect, &opened.table, &error);
    opened.message = error.text;
    return opened;
}

TEST(SectionContainer, FindsEverySectionAtItsAlignedOffset) {
    const Image image = StandardImage();
    const Opened opened = Open(image.bytes, 6, static_cast<int32_t>(image.bytes.size()));
    ASSERT_TRUE(opened.ok) << opened.message;
    ASSERT_EQ(opened.table.count, 6);
    const std::string types = "VFZBZJ";
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(opened.table[i].offset, image.headers[static_cast<size_t>(i)]);
        EXPECT_EQ(opened.table[i].offset % 16, 0u);
        EXPECT_EQ(opened.table[i].type, types[static_cast<size_t>(i)]);
    }
    const pantrix::CountedBuffer settings =
        pantrix::SettingsTextCopy(image.bytes.data(), opened.table[0]);
    EXPECT_STREQ(settings.get(), "mx=512\njars=a.jar;\n");
    const pantrix::CountedBuffer z = pantrix::ZOffsetsText(opened.table);
    EXPECT_EQ(std::string(z.get()),
              "," + std::to_string(image.headers[2]) + "," + std::to_string(image.headers[4]));
}

TEST(SectionContainer, ZOffsetsAreEmptyWithoutZSections) {
    Image image;
    image.Add('V', Text(std::string("a=b\n") + '\0'));
    const Opened opened = Open(image.bytes, 1);
    ASSERT_TRUE(opened.ok) << opened.message;
    EXPECT_STREQ(pantrix::ZOffsetsText(opened.table).get(), "");
}

TEST(SectionContainer, ReportsTheFirstProblemInOrder) {
    const Image image = StandardImage();
    const int32_t full = static_cast<int32_t>(image.bytes.size());
    struct Case {
        const char* what;
        int32_t count;
        int32_t expected_length;
        std::string message;
    };
    const Case cases[] = {
        {"one byte short of the expected length, checked before the count", 0, full + 1,
         "90: 'App.exe' is a partial/truncated EXE (partial download?)"},
        {"no sections asked for", 0, full, "96: Invalid maximum number of EXE sections 0"},
        {"too many sections asked for", 100001, full,
         "96: Invalid maximum number of EXE sections 100001"},
        {"one section more than there are", 7, full,
         "97: Expected 7 sections in 'App.exe' (found=6)"},
        {"one section fewer than there are", 5, full,
         "97: Expected 5 sections in 'App.exe' (found=6)"},
    };
    for (const Case& c : cases) {
        const Opened opened = Open(image.bytes, c.count, c.expected_length);
        EXPECT_FALSE(opened.ok) << c.what;
        EXPECT_EQ(opened.message, c.message) << c.what;
    }
}

TEST(SectionContainer, OneChangedPayloadByteInAnySectionFailsTheSignature) {
    const Image image = StandardImage();
    for (size_t s = 0; s < image.headers.size(); ++s) {
        Bytes changed = image.bytes;
        changed[image.headers[s] + 32 + 2] ^= 0x01;
        const Opened opened = Open(changed, 6);
        EXPECT_FALSE(opened.ok) << "section " << s;
        EXPECT_EQ(opened.message, "91: EXE section digital signature check failed") << s;
    }
}

TEST(SectionContainer, OneChangedHeaderByteHidesThatSection) {
    const Image image = StandardImage();
    for (size_t at = 15; at < 32; ++at) {
        Bytes changed = image.bytes;
        changed[image.headers[3] + at] ^= 0x40;
        const Opened opened = Open(changed, 6);
        EXPECT_EQ(opened.message, "97: Expected 6 sections in 'App.exe' (found=5)")
            << "header byte " << at;
    }
}

TEST(SectionContainer, SettingsMustComeFirst) {
    Image image;
    image.Add('F', pantrix_pack::MakeFileRecord("a.jar", Text("x")));
    image.Add('V', Text(std::string("a=b\n") + '\0'));
    EXPECT_EQ(Open(image.bytes, 2).message, "98: Vars EXE seciton is missing");
}

TEST(SectionContainer, HeaderWhosePayloadRunsPastTheEndIsSkipped) {
    Image image = StandardImage();
    Bytes cut(image.bytes.begin(), image.bytes.end() - 1);  // the last payload loses a byte
    const Opened opened = Open(cut, 6);
    EXPECT_EQ(opened.message, "97: Expected 6 sections in 'App.exe' (found=5)");
    EXPECT_TRUE(Open(cut, 5).ok);
}

TEST(SectionContainer, SettingsCopyStopsAtThePayloadEndWithoutAZeroByte) {
    Image image;
    image.Add('V', Text("mx=64\nlast=line"));  // no zero byte
    image.bytes.insert(image.bytes.end(), {'t', 'a', 'i', 'l', 0});
    const Opened opened = Open(image.bytes, 1);
    ASSERT_TRUE(opened.ok) << opened.message;
    EXPECT_STREQ(pantrix::SettingsTextCopy(image.bytes.data(), opened.table[0]).get(),
                 "mx=64\nlast=line");
}

TEST(SectionContainer, UnscrambleUndoesTheToolsScrambling) {
    Bytes plain(600);
    for (size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<unsigned char>(i * 31 + 5);
    Image image;
    image.Add('F', plain);
    const SectionEntry entry{image.headers[0], 'F', static_cast<uint32_t>(plain.size())};
    EXPECT_NE(0, std::memcmp(image.bytes.data() + entry.payload_offset(), plain.data(), 600));
    const pantrix::CountedBuffer back = pantrix::Unscramble(image.bytes.data(), entry);
    ASSERT_EQ(back.size(), plain.size());
    EXPECT_EQ(0, std::memcmp(back.bytes(), plain.data(), plain.size()));
}

// File records as the launcher reads them, including the ones it refuses.
struct RecordCase {
    const char* what;
    Bytes record;
    pantrix::FileRecordStatus status;
    std::string path;
};

Bytes WithDataLength(Bytes record, uint32_t length) {
    const size_t at = record[0] + 6u;
    for (int i = 0; i < 4; ++i)
        record[at + static_cast<size_t>(i)] = static_cast<unsigned char>(length >> (8 * i));
    return record;
}

TEST(FileRecord, ReadsGoodRecordsAndRefusesDamagedOrUnsafeOnes) {
    using Status = pantrix::FileRecordStatus;
    const Bytes good = pantrix_pack::MakeFileRecord("lib/a.jar", Text("content"));
    Bytes no_zero = good;
    no_zero[0] = 5;  // the path is the five bytes "lib/a", no zero byte among them
    no_zero = WithDataLength(Bytes(no_zero.begin(), no_zero.begin() + 15), 0);
    const RecordCase cases[] = {
        {"good", good, Status::kGood, "lib/a.jar"},
        {"empty content", pantrix_pack::MakeFileRecord("e.txt", {}), Status::kGood, "e.txt"},
        {"path without a zero byte ends after L bytes", no_zero, Status::kGood, "lib/a"},
        {"data length one past the record", WithDataLength(good, 8), Status::kDamaged, ""},
        {"huge data length", WithDataLength(good, 0xFFFFFFFFu), Status::kDamaged, ""},
        {"record shorter than its header", Bytes(good.begin(), good.begin() + 12), Status::kDamaged,
         ""},
        {"empty record", Bytes{}, Status::kDamaged, ""},
        {"climbs out", pantrix_pack::MakeFileRecord("../evil.dll", Text("x")), Status::kUnsafePath,
         "../evil.dll"},
        {"climbs out midway", pantrix_pack::MakeFileRecord("lib\\..\\..\\evil.dll", Text("x")),
         Status::kUnsafePath, "lib\\..\\..\\evil.dll"},
        {"absolute", pantrix_pack::MakeFileRecord("\\windows\\evil.dll", Text("x")),
         Status::kUnsafePath, "\\windows\\evil.dll"},
        {"drive", pantrix_pack::MakeFileRecord("C:evil.dll", Text("x")), Status::kUnsafePath,
         "C:evil.dll"},
        {"empty path", pantrix_pack::MakeFileRecord("", Text("x")), Status::kUnsafePath, ""},
    };
    for (const RecordCase& c : cases) {
        pantrix::FileRecord file;
        EXPECT_EQ(pantrix::ParseFileRecord(c.record.data(), c.record.size(), &file), c.status)
            << c.what;
        if (c.status != Status::kDamaged) {
            EXPECT_STREQ(file.path, c.path.c_str()) << c.what;
        }
        if (c.status == Status::kGood) {
            EXPECT_EQ(file.content + file.length, c.record.data() + c.record.size()) << c.what;
        }
    }
}

}  // namespace

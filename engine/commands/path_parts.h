#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Pieces of a Windows path, as pure text operations. Only "\" and ":" separate: a path's file
// name is the text after its last "\" or ":", its folder part the text up to and including that
// character (empty when it has none).

std::string_view FileNameOf(std::string_view path);
std::string_view FolderOf(std::string_view path);
// The extension: the text from the last "." of the file name on, the "." included; empty when
// the file name has no ".".
std::string_view ExtensionOf(std::string_view path);
// The drive: a drive letter with its colon ("C:") when the second character is ":", the server
// and share ("\\server\share") of a path that begins with two backslashes; otherwise empty.
std::string_view DriveOf(std::string_view path);

// The text with "\" appended unless it already ends in one; an empty text stays empty.
std::string WithTrailingBackslash(std::string_view text);
// Every pair of consecutive backslashes replaced by one, scanning from the left without
// overlap, a leading pair included.
std::string CollapseBackslashPairs(std::string_view text);

// The part of a path that Extract Path's mode selects:
//   0 file name; 1 file name without its extension; 2 extension without its "."; 3 folder part;
//   4 parent of the folder part; 5 drive; 6 backslash pairs collapsed; any other mode: the path.
// Parts 3, 4 and 5 end in "\" unless they are empty.
std::string ExtractPathPart(std::string_view path, std::int32_t mode);

#pragma once
// The one rule for where an archive entry may be written: every writer of extracted files asks
// it first. Pure logic over the stored path, which is UTF-8 text here (the bytes that matter
// for safety are all ASCII, and no UTF-8 sequence contains an ASCII byte).

#include <optional>
#include <string>
#include <string_view>

// The path below the target folder at which an entry may be written, its parts joined with
// '\', or nothing when the entry must be refused:
// - absolute paths (a leading '\' or '/', which includes UNC "\\server\share" and "\\?\"),
// - a drive or stream prefix, or any other character that Windows names cannot hold
//   (control characters, < > : " | ? *),
// - ".." and every other part made only of dots and blanks (Windows strips trailing dots
//   and blanks, so ". ." would become ".."),
// - device names (CON, PRN, AUX, NUL, COM1-9, LPT1-9, CONIN$, CONOUT$, also with an
//   extension), which would write to a device instead of a file,
// - an empty path.
// Empty parts and "." parts are dropped. With `fileNameOnly` only the last part is kept, after
// the whole path has passed the same checks.
std::optional<std::string> SafeRelativePath(std::string_view storedPath, bool fileNameOnly);

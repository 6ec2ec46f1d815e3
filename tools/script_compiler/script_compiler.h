#pragma once

// Script compiler: turns a readable listing of a setup script into the compiled script text
// that the engine reads from behind its program image, and builds a setup program from a copy
// of the engine with that text appended. Used in-process by tests and by the command-line
// front end `qorscript`.
//
// Listing form
// ------------
// One item per line; lines end in LF or CR LF and are 8-bit text, copied byte for byte. Blank
// lines and lines whose first non-blank character is '#' are ignored.
//
// Statements, in execution order, one a line:
//
//     [attributes] Command | parameter 1 | parameter 2 | ...
//
//   - `Command` alone (no '|') has no parameter block; `Command |` has one empty parameter.
//   - Parameters and the command are trimmed of surrounding spaces and tabs. Escapes, with '^':
//     ^| a bar, ^^ a caret, ^s a space (to keep a leading or trailing blank), ^t a tab,
//     ^r a CR, ^xHH any byte but LF (two hexadecimal digits).
//   - Attributes, before the command, in any order:
//       [off]                disabled: written as "Comment" with the flag "C"; its parameter
//                            block is kept as written (a disabled statement gets no header)
//       [id {GUID}]          the statement identifier; default: generated from the position
//       [header 230F8EC1]    the command header; default: generated for change-making commands
//       [noheader]           no command header, even for a change-making command
//       [media OFFLINE\]     the statement's media folder
//
// Directives, '@' first, anywhere in the listing (each single-line one at most once):
//
//     @product-code {GUID}        default: generated from the title
//     @title TEXT                 product title
//     @company TEXT, @contact TEXT, @help-link TEXT, @update-url TEXT, @comments TEXT
//     @version TEXT
//     @revision-code {GUID}       default: generated from the title
//     @media-layout TEXT          default 0 (written as given: a test may write a damaged one)
//     @language-choice TEXT       default FALSE
//     @default-language TEXT      default English
//     @plugin COMMAND             a command carried out by a plug-in library (repeatable)
//     @password BLOCK | SCRAMBLED archive password pair (repeatable)
//     @component NAME | BYTES     component size pair (repeatable)
//     @file BLOCK | PATH | FOLDER file list triple (repeatable)
//     @block ID | p1 | p2 ...     an extra parameter block, placed in the parameter section at
//                                 this point among the statements' blocks (repeatable; for
//                                 blocks that belong to no statement or repeat an identifier)
//
// Directive values take the same escapes and trimming as parameters.
//
// Generated identifiers and headers are deterministic (the same listing always compiles to the
// same bytes) and never repeat an identifier or header written in the listing. Identifiers are
// braced GUIDs with upper-case digits; headers are 8 upper-case hexadecimal digits.
//
// A text that would break the format is refused: LF anywhere, and a line "$" inside a section
// (it would end the section).
//
// Example:
//
//     @title Sample Product
//     @version 1.0
//     @component ZOND-PREDEF-COMPONENT | 1024
//     Set Variable | GREETING | Hello, $USERNAME$
//     If | GREETING | 1 | Hello | FALSE
//       [media OFFLINE\] Install Files | *.* | data | $TARGETDIR$
//     End

#include <string>
#include <string_view>
#include <vector>

namespace qorscript {

struct Compiled {
    std::string script;               // the compiled script text, CR LF line ends
    std::vector<std::string> errors;  // "line N: ..." in listing order; empty on success
    bool ok() const { return errors.empty(); }
};

Compiled CompileListing(std::string_view listing);

struct SetupProgram {
    std::string bytes;  // the program image without any overlay it had, then the script
    std::string error;  // why the program could not be used; empty on success
};

// A copy of `program` (a PE image) cut at its overlay start, followed by `script`.
SetupProgram AppendScript(std::string_view program, std::string_view script);

// Whether the engine's command table lists the command as change-making (queued): such
// statements get a command header.
bool IsChangeMakingCommand(std::string_view command);

}  // namespace qorscript

#pragma once

#include <string>
#include <string_view>
#include <vector>

// Comma text: a list of texts on one line, as the store is handed to and taken back from
// plug-in libraries.
//
// Writing: elements joined with commas; an element that contains a space, a control character
// (below 0x20), a comma or a double quote is enclosed in double quotes with each inner double
// quote doubled. A list of one empty element is written as "".
//
// Reading: elements are separated by commas. Outside quotes, spaces and control characters
// before an element are skipped; an unquoted element ends at a comma, a space or a control
// character. A quoted element runs to its closing quote ("" inside stands for one quote; a
// missing closing quote ends it at the end of the text). Two commas in a row give an empty
// element, and a comma at the very end adds an empty element.
std::string ToCommaText(const std::vector<std::string>& elements);
std::vector<std::string> FromCommaText(std::string_view text);

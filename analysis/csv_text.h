#pragma once

#include <string>
#include <string_view>

// `text` as a cell of a comma-separated table: quoted, its quotes doubled, when it holds a comma,
// a quote, CR or LF; as it is otherwise.
std::string CsvText(std::string_view text);

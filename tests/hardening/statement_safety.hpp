#pragma once
// A lexical safety check of the SQL text the library writes: every piece of host text must stay inside a
// string literal ('...', apostrophes doubled), a bracketed name ([...]) or a date or time literal (#...#).
// Outside them nothing may start a second statement or a comment, open a quote that SQL would read
// differently, or be a byte the library never writes itself; and no NUL byte may appear anywhere (a host
// passing the text as a C string would lose the rest of the statement). Plain C++: the fuzz targets use it
// too.
#include <string>
#include <string_view>

namespace talvane::test {

// Empty when the text is safe; otherwise what is wrong and where.
std::string StatementProblem(std::string_view sql);

}  // namespace talvane::test

#pragma once
// What a script may give where the instrument takes a value: a str, an int
// or a finite float (numpy's too). Anything else is refused with TypeError,
// a value that is not one (nan, inf, a whole number past the instrument's
// range) with ValueError, each naming the argument. A file is named by a
// str or an os.PathLike: the functions take std::filesystem::path.

#include "python/py_support.h"

#include <cstdint>
#include <string>

namespace tarvelo_py {

// The value as the text the instrument takes (Windows-1252).
std::string value_text(const py::handle& value, const std::string& what);
// The value as a whole number (an int, an integral float or its text).
int32_t whole_number(const py::handle& value, const std::string& what);

} // namespace tarvelo_py

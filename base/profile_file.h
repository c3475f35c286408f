#pragma once
// Reading and writing keys of an INI settings file ("[Section]" headers and
// "Key=Value" lines), the way the profile functions always have: section and
// key names compare without regard to case, a missing file, section or key
// gives the default, a write keeps every other line of the file as it was
// and adds the section or key when missing. Lines are written with CR LF;
// CR LF and LF are both read.

#include <string>

std::string profile_read(const std::string& file, const std::string& section,
                         const std::string& key, const std::string& fallback);
// The value's leading decimal integer, or fallback when the key is absent.
int profile_read_int(const std::string& file, const std::string& section, const std::string& key,
                     int fallback);
// The file is replaced whole or kept as it was. False when it could not be
// written; the first failure for a file is also shown to the user.
bool profile_write(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value);

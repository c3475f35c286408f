#pragma once
// Files as the program writes them: written whole into a temporary file in
// the target's folder and renamed over the target once complete, so a failed
// or killed write never leaves a partial file and never harms the file it
// would have replaced. The temporary has no name in the folder while it is
// written where the file system allows; elsewhere a named one (".t2" and six
// letters) that a killed writer left behind is removed by the next write
// into that folder. Text files are Windows-1252 bytes as given, each line feed
// written as CR LF.

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

// Writes text with each line feed as CR LF.
void text_file_write_crlf(FILE* file, const std::string& text);

// write(temporary) fills the new file through the name it is given (which
// may lie outside the folder and carries no extension), which is then
// renamed to path. False, with the temporary file removed, when write fails,
// when path exists but is not a regular file this process may open for
// writing (it is left as it was), or when the rename fails. A replaced file
// keeps its permissions; a new one gets the usual ones.
// A writer that puts files of its own beside the one it writes asks for a
// named temporary in the folder.
enum class temporary_kind { unnamed_where_possible, named };
bool file_write_replacing(const std::string& path,
                          const std::function<bool(const std::string& temporary)>& write,
                          temporary_kind kind = temporary_kind::unnamed_where_possible);

// The same for a file that must be new: false when anything has the name,
// which is never replaced.
bool file_write_new(const std::string& path,
                    const std::function<bool(const std::string& temporary)>& write);

// Fills the file at temporary with bytes, as a write function above does;
// false when not all of them were written.
bool file_put_bytes(const std::string& temporary, std::string_view bytes);

// text ("\n" line ends) into path with CR LF line ends, as above. False when
// the file cannot be written completely.
bool export_write_text_file(const std::string& path, const std::string& text);

// The chosen path without the extension of its file name.
std::string export_strip_extension(const std::string& path);

#pragma once
// Files as every export writes them: written whole into a temporary file in
// the target's folder and renamed over the target once complete, so a failed
// write never leaves a partial file and never harms the file it would have
// replaced. Text files are Windows-1252 bytes as given, each line feed
// written as CR LF.

#include <cstdio>
#include <functional>
#include <string>

// Writes text with each line feed as CR LF.
void text_file_write_crlf(FILE* file, const std::string& text);

// write(temporary path) fills a new temporary file beside path, which is then
// renamed to path. False, with the temporary file removed, when write fails,
// when path exists but is not a regular file this process may open for
// writing (it is left as it was), or when the rename fails. A replaced file
// keeps its permissions; a new one gets the usual ones.
bool file_write_replacing(const std::string& path,
                          const std::function<bool(const std::string& temporary)>& write);

// text ("\n" line ends) into path with CR LF line ends, as above. False when
// the file cannot be written completely.
bool export_write_text_file(const std::string& path, const std::string& text);

// The chosen path without the extension of its file name.
std::string export_strip_extension(const std::string& path);

#pragma once
// Text files as every export writes them: Windows-1252 bytes as given, each
// line feed written as CR LF, into a temporary file beside the target that
// is renamed over it once complete, so a failed write never leaves a partial
// file behind.

#include <cstdio>
#include <string>

// Writes text with each line feed as CR LF.
void text_file_write_crlf(FILE* file, const std::string& text);

// text ("\n" line ends) into path with CR LF line ends, via a temporary file
// and a rename. False when the file cannot be written completely.
bool export_write_text_file(const std::string& path, const std::string& text);

// The chosen path without the extension of its file name.
std::string export_strip_extension(const std::string& path);

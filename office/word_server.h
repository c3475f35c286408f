#pragma once
// The word-processor automation server behind "Word.Application": a new
// document takes one inline picture per AddPicture call. When the caller
// releases the application, a document with pictures is written once as a
// .docx file (each picture at 96 dpi, the file itself under word/media)
// into the reports folder and handed to the opener.

#include "office/ole_object.h"

#include <string>
#include <vector>

ole_object* word_server_create();

// Writes a document holding the given bitmap files, one inline picture
// each. False when a picture cannot be read or the file cannot be written.
bool docx_write(const std::vector<std::string>& pictures, const std::string& path);

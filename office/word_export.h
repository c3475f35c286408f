#pragma once
// A picture file into a new word-processor document: start the word
// processor, add the picture inline, let go of it (the document is then
// written and opened). Start failures show the layer's texts for "Word"
// captioned "Word Export Error". Returns 0 when the document was written,
// else -1 (the failure has been shown).

#include <string>

int word_export_picture(const std::string& picture_file);

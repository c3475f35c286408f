#pragma once
// Texts of the core as the windows draw them. The tables write the delta of
// "tan delta" as 0xF0, the Symbol font's letter; on screen it reads "tan δ".
// Files keep the bytes the tables hold: this is for display only.

#include <QString>
#include <string>

// qt_from_ansi(ansi) with every "Tan\xF0", "TAN\xF0" or "Tan \xF0" drawn as
// "tan δ".
QString qt_display_text(const std::string& ansi);

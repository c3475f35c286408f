#pragma once
// The About box: program name, version and icon.

class QWidget;

constexpr const char* PROGRAM_VERSION = "V1.0j 27th August 2015";

void show_about_box(QWidget* owner);

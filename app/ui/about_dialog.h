#pragma once
// The About box: program name, version, icon and the licences of what the
// program carries and links.

class QWidget;

constexpr const char* PROGRAM_VERSION = "V1.0j 27th August 2015";

void show_about_box(QWidget* owner);

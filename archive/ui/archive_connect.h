#pragma once
// Reaching the archive from a window: the address from the settings file
// (asked for when there is none), a password asked for when the server
// wants one and kept for the rest of the run, every failure in a box.

#include "archive/archive_connection.h"

#include <functional>
#include <string>

class QWidget;

// The caption of the archive's boxes and dialogs.
extern const char* const ARCHIVE_CAPTION;

// True when archive is open for use; false after the user cancelled or
// was told why not.
bool archive_ui_connect(QWidget* owner, archive_connection& archive, archive_use use);

// Runs work (statements on archive) on a worker thread behind the progress
// dialog showing caption; Cancel ends a running statement within about a
// second. The outcome of work, or cancelled (with no message) after Cancel.
archive_outcome archive_ui_exchange(QWidget* owner, archive_connection& archive,
                                    const std::string& caption,
                                    const std::function<archive_outcome()>& work);

// text followed by what the server warned of meanwhile, one line each.
std::string archive_ui_with_notices(std::string text, archive_connection& archive);

#pragma once
// The database view's Archive menu: the selected session pushed to the lab
// archive, and the archive searched with chosen tests pulled into the open
// test file. The archive's address is kept in the settings file; a
// password the server asks for is asked for here and kept in memory only.

class QWidget;

// "Push selected session...": the session selected in the database form
// with its tests, under the progress dialog; the outcome in a box.
void archive_push_selected(QWidget* owner);
// "Search and pull...": the search dialog.
void archive_search_and_pull(QWidget* owner);

// The menu's texts.
extern const char* const ARCHIVE_MENU_TEXT;
extern const char* const ARCHIVE_PUSH_TEXT;
extern const char* const ARCHIVE_SEARCH_TEXT;

#pragma once
// The user guide in a window of its own (Markdown with its pictures) and a
// read-only viewer for plain texts such as the licences, both found where
// doc_folders() says.

#include <string>
#include <vector>

class QString;
class QWidget;

// The documentation folders of this program, in search order.
std::vector<std::string> help_doc_folders();

// Shows the guide window of owner, raising the one already open; says in a
// box where it looked when the guide is missing.
void show_user_guide(QWidget* owner);

// Shows the text file name of the documentation folders in a read-only
// viewer titled title; what names it in the box shown when it is missing.
void show_doc_text(QWidget* owner, const std::string& name, const QString& title,
                   const std::string& what);

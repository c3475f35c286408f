#pragma once
// File > Print..., Print Preview and Export PDF... of every window that
// shows results, in one piece. A window hands over its printout, made anew
// from what it shows at that moment; the print dialog and the preview are
// the system's (CUPS through Qt's print support), and printing and writing
// the PDF run off the window thread behind the progress dialog.

#include <array>
#include <functional>
#include <string>

class QAction;
class QMenu;
class QPrinter;
class QWidget;

// What a window prints. Both functions work on a copy of what was shown, so
// they may run on any thread, and say why when they fail.
struct s_printout {
    // The document's name: the print job's title, the PDF's suggested name.
    std::string name;
    // Paints every page onto a printer the print dialog or the preview set up.
    std::function<bool(QPrinter& printer, std::string& error)> print;
    // Writes the PDF at path through the replacing writer.
    std::function<bool(const std::string& path, std::string& error)> write_pdf;
    // Non-empty when there is nothing to print: the text the user is shown.
    std::string refusal;
};

// A printout that only says why there is nothing to print.
s_printout printout_refused(std::string why);

enum class print_action { print, preview, export_pdf };

// The three menu items, appended to menu in this order: "&Print..." on
// Ctrl+P, "Print Pre&view", "&Export PDF...". Each calls run with its action.
std::array<QAction*, 3> print_add_menu_items(QMenu* menu,
                                             const std::function<void(print_action)>& run);

// Carries out the action: the print dialog and then the printing, the
// preview, or the file chooser and then the PDF. Failures are shown in a
// box; false when the printout was refused, cancelled or failed.
bool print_run(QWidget* owner, print_action action, const s_printout& printout);

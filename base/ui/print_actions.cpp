// The print, preview and PDF actions every results window shares.

#include "base/ui/print_actions.h"

#include "base/export_texts.h"
#include "base/off_window.h"
#include "base/ui_seam.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolBar>

namespace {

const char* const PRINT_CAPTION = "Tarvelo2";

void tell_failure(QWidget* owner, const std::string& what, const std::string& error)
{
    ui_message_box(owner, what + (error.empty() ? "" : ":\n" + error), PRINT_CAPTION,
                   MB_OK | MB_ICONWARNING);
}

// Runs one printout step behind the progress dialog. A step the user
// cancels still runs to its end (a printer or file half written is worse),
// but counts as cancelled.
bool run_step(QWidget* owner, const std::string& caption, const std::string& failure,
              const std::function<bool(std::string&)>& step)
{
    std::string error;
    bool ok = false;
    const exchange_outcome outcome = run_off_window(caption, [&](const std::atomic<bool>&) {
        ok = step(error);
        return true;
    });
    if (!ok) {
        tell_failure(owner, failure, error);
        return false;
    }
    return outcome == exchange_outcome::done;
}

void name_job(QPrinter& printer, const s_printout& printout)
{
    printer.setDocName(QString::fromLocal8Bit(printout.name.c_str()));
    printer.setCreator(QStringLiteral("Tarvelo2"));
}

bool print_through_dialog(QWidget* owner, const s_printout& printout)
{
    QPrinter printer(QPrinter::HighResolution);
    name_job(printer, printout);
    QPrintDialog dialog(&printer, owner);
    dialog.setWindowTitle(QStringLiteral("Print"));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return run_step(owner, "Printing\x85", "Unable to print " + printout.name,
                    [&](std::string& error) { return printout.print(printer, error); });
}

// The preview asks for the pages again whenever the user changes its page
// setup. A long report takes longer to paint than the window may wait, so
// the pages are painted off the window thread (onto the preview's printer,
// which only records them) behind the progress dialog.
bool preview(QWidget* owner, const s_printout& printout)
{
    QPrinter printer(QPrinter::HighResolution);
    name_job(printer, printout);
    QPrintPreviewDialog dialog(&printer, owner);
    dialog.setWindowTitle(QStringLiteral("Print Preview"));
    // As large as the window it previews, so that its tools all show.
    if (owner)
        dialog.resize(owner->window()->size());
    // Qt's preview has no button of its own to close it.
    if (auto* bar = dialog.findChild<QToolBar*>()) {
        bar->addSeparator();
        QObject::connect(bar->addAction(QStringLiteral("Close")), &QAction::triggered, &dialog,
                         &QDialog::reject);
    }
    std::string error;
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* p) {
        run_off_window("Preparing the preview\x85", [&](const std::atomic<bool>&) {
            printout.print(*p, error);
            return true;
        });
    });
    dialog.exec();
    if (!error.empty())
        tell_failure(owner, "Unable to preview " + printout.name, error);
    return error.empty();
}

bool export_pdf(QWidget* owner, const s_printout& printout)
{
    ui_file_request request;
    request.save = true;
    request.caption = "Export PDF";
    request.filters = "PDF Files (*.pdf)";
    request.default_suffix = "pdf";
    request.start = printout.name + ".pdf";
    ui_file_choice choice;
    if (!ui_choose_file(owner, request, choice))
        return false;
    std::string path = choice.path;
    if (!QString::fromLocal8Bit(path.c_str()).endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += ".pdf";
    if (!export_may_replace(owner, path))
        return false;
    return run_step(owner, "Writing the PDF\x85", "Unable to write the PDF to " + path,
                    [&](std::string& error) { return printout.write_pdf(path, error); });
}

} // namespace

s_printout printout_refused(std::string why)
{
    s_printout out;
    out.refusal = std::move(why);
    return out;
}

std::array<QAction*, 3> print_add_menu_items(QMenu* menu,
                                             const std::function<void(print_action)>& run)
{
    const auto add = [&](const QString& text, print_action action) {
        QAction* a = menu->addAction(text);
        QObject::connect(a, &QAction::triggered, menu, [run, action] { run(action); });
        return a;
    };
    std::array<QAction*, 3> items = {
        add(QStringLiteral("&Print..."), print_action::print),
        add(QStringLiteral("Print Pre&view"), print_action::preview),
        add(QStringLiteral("&Export PDF..."), print_action::export_pdf)};
    items[0]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    return items;
}

bool print_run(QWidget* owner, print_action action, const s_printout& printout)
{
    if (!printout.refusal.empty()) {
        ui_message_box(owner, printout.refusal, PRINT_CAPTION, MB_OK | MB_ICONINFORMATION);
        return false;
    }
    switch (action) {
    case print_action::print: return print_through_dialog(owner, printout);
    case print_action::preview: return preview(owner, printout);
    case print_action::export_pdf: return export_pdf(owner, printout);
    }
    return false;
}

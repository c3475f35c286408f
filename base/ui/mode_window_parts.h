#pragma once
// Small pieces every mode window with a sweep needs: its factory for the
// control tables, the look-up of the window a child sits in, and the
// progress dialog's worker and cancel routines made from the routines on
// the window's sweep block.

#include "base/command_ids.h"
#include "base/command_seam.h"
#include "base/control_table.h"
#include "base/progress_block.h"
#include "base/ui/table_window.h"

#include <QWidget>

// A window of class W made for a table row, at the row's geometry.
template <class W> table_window* make_placed_window(QWidget* parent, const s_control& row)
{
    auto* w = new W(parent);
    w->setGeometry(row.x, row.y, row.width, row.height);
    return w;
}

// The nearest window of class W among w and its parents, or null.
template <class W> W* enclosing_window(QWidget* w)
{
    for (; w; w = w->parentWidget())
        if (auto* found = qobject_cast<W*>(w))
            return found;
    return nullptr;
}

// A progress routine that runs routine on the block's context (a sweep
// block), after telling the context which dialog to report to.
template <class Context, void (*Routine)(Context&)> void run_on_context(s_progress_block* block)
{
    auto* ctx = static_cast<Context*>(block->context);
    ctx->dialog = block->dialog;
    Routine(*ctx);
}

// Asks the main window to refresh its controls (and with them every mode
// window's); a window standing alone refreshes its own.
inline void request_main_refresh(table_window& w)
{
    if (auto* main = dynamic_cast<command_target*>(w.window()); main && main != &w)
        post_command(main, CMD_MAIN_REFRESH);
    else
        w.refresh_controls(true, true, w.is_running());
}

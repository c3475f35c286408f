#include "office/excel_session.h"

#include "base/export_texts.h"
#include "base/ui_seam.h"
#include "office/excel_server.h"

int s_excel_session::start(const std::string& caption)
{
    const int started = excel_start(app, books, book);
    if (started != 0)
        ole_show_start_failure(started, "Excel", caption);
    else
        sheet = sheet_active(app);
    return started;
}

int s_excel_session::start_for_points(int points)
{
    if (points <= 0) {
        ui_message_box(nullptr, "There is nothing to export yet", "Export to Excel",
                       MB_OK | MB_ICONINFORMATION);
        return -1;
    }
    return start(EXPORT_ERROR_CAPTION) != 0 ? -1 : 0;
}

int series_workbook(bool exportable, const char* name, int total,
                    const std::function<bool(ole_object* sheet, int k)>& block)
{
    if (!exportable) {
        ui_message_box(nullptr, NO_DATA_TEXT, EXPORT_ERROR_CAPTION, MB_OK | MB_ICONINFORMATION);
        return -1;
    }
    s_excel_session excel;
    if (excel.start(EXPORT_ERROR_CAPTION) != 0)
        return -1;
    excel.delete_active_sheets(2); // down to the one sheet
    sheet_set_name(excel.sheet, name);
    std::string skipped;
    int read = 0;
    for (int k = 1; k <= total; ++k) {
        if (block(excel.sheet, k))
            ++read;
        else
            skipped += (skipped.empty() ? "sweep" : ", sweep") + std::to_string(k) + ".dat";
    }
    const bool none = read == 0;
    if (!skipped.empty())
        ui_message_box(nullptr,
                       (none ? "None of the sweep files could be read, nothing was written: "
                             : "These sweep files could not be read: ") +
                           skipped,
                       EXPORT_ERROR_CAPTION, MB_OK | MB_ICONINFORMATION);
    return none ? -1 : excel.finish();
}

void single_sweep_headings(ole_object* sheet, int columns)
{
    const auto heading = [](ole_object* r) {
        range_bold(r);
        range_font_size(r, 12);
        range_fill(r, ole_rgb(200, 200, 200));
    };
    on_range(sheet, 1, 1, columns, 1, [&heading](ole_object* r) {
        heading(r);
        range_merge(r);
        range_halign(r, XL_CENTER);
    });
    on_range(sheet, 1, 2, columns, 2, heading);
}

void s_excel_session::delete_active_sheets(int count)
{
    ole_release(sheet);
    for (int i = 0; i < count; ++i) {
        ole_object* active = sheet_active(app);
        sheet_delete(active);
        ole_release(active);
    }
    sheet = sheet_active(app);
}

int s_excel_session::finish()
{
    app_set_visible(app);
    ole_release(sheet);
    ole_release(book);
    ole_release(books);
    sheet = book = books = nullptr;
    const int written = office_release_report(app);
    app = nullptr;
    return written;
}

s_excel_session::~s_excel_session()
{
    ole_release(sheet);
    ole_release(book);
    ole_release(books);
    ole_release(app);
}

void range_outline(ole_object* range, int32_t weight)
{
    for (const int edge : {XL_EDGE_LEFT, XL_EDGE_TOP, XL_EDGE_BOTTOM, XL_EDGE_RIGHT}) {
        range_border_line_style(range, edge, XL_CONTINUOUS);
        range_border_weight(range, edge, weight);
    }
}

#include "review/db_tests_workbook.h"

#include "base/export_texts.h"
#include "base/sweep_numbers.h"
#include "base/ui_seam.h"
#include "db/db_access.h"
#include "office/excel_session.h"

namespace {

constexpr int32_t HEADING_GREY = ole_rgb(200, 200, 200);

std::string number_text(double value, bool european, bool remove_zeros)
{
    std::string text = european ? sweep_format_european(value) : sweep_format_fixed5(value);
    return remove_zeros ? sweep_remove_mantissa_zeros(text) : text;
}

void test_block(ole_object* sheet, int first, const s_test& test, bool european, bool remove_zeros)
{
    std::string block = "\nStep\tFrequency (Hz)\tGain (dB)\tPhase (\xB0)";
    const int count = test.points.count();
    for (int p = 0; p < count; ++p) {
        const s_test_point& point = test.points[p];
        block += "\n" + std::to_string(p + 1);
        for (const double v : {point.Frequency, point.Amplitude, point.Phase})
            block += "\t" + number_text(v, european, remove_zeros);
    }
    const int last_row = count + 2;
    if (count > 0)
        on_range(sheet, first + 1, 3, first + 3, last_row, [&](ole_object* r) {
            range_number_format(r, european || remove_zeros ? "@" : "#,##0.00000");
            range_halign(r, XL_RIGHT);
        });
    on_range(sheet, first, 1, first + 3, last_row, [&](ole_object* r) {
        range_set_block(r, 4, last_row, block);
        range_border_weight_all(r, XL_THIN);
    });
    // The name goes in on its own, as text whatever it looks like ("0012",
    // "1e5", "'quoted" and its tabs or line breaks stay as stored).
    on_range(sheet, first, 1, first, 1, [&](ole_object* r) { range_put_text(r, test.Name); });
    for (int row = 1; row <= 2; ++row)
        on_range(sheet, first, row, first + 3, row, [&](ole_object* r) {
            range_bold(r);
            range_font_size(r, 12);
            range_fill(r, HEADING_GREY);
            if (row == 1) {
                ole_invoke(DISPATCH_METHOD, nullptr, r, L"Merge");
                range_halign(r, XL_CENTER);
            }
        });
    on_range(sheet, first, 1, first + 3, last_row, [](ole_object* r) { range_autofit(r); });
}

} // namespace

int db_tests_workbook(const std::vector<int>& test_keys, bool european, bool remove_zeros)
{
    s_excel_session excel;
    if (excel.start(EXPORT_ERROR_CAPTION) != 0)
        return -1;
    size_t found = 0;
    for (size_t j = 0; j < test_keys.size(); ++j) {
        s_test test;
        if (db_get_test(test, test_keys[j], true) == 0 && test.TestNo != DB_NO_SUCH_ROW)
            ++found;
        else
            test.Name = "Test " + std::to_string(test_keys[j]) + " not found";
        test_block(excel.sheet, 5 * static_cast<int>(j) + 1, test, european, remove_zeros);
    }
    if (found == 0) {
        ui_message_box(nullptr, "None of the tests was found: nothing was written",
                       EXPORT_ERROR_CAPTION, MB_OK | MB_ICONINFORMATION);
        return -1;
    }
    return excel.finish();
}

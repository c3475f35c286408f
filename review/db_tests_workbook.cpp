#include "review/db_tests_workbook.h"

#include "base/sweep_numbers.h"
#include "db/db_access.h"
#include "office/ole.h"

#include <algorithm>

namespace {

constexpr int32_t HEADING_GREY = ole_rgb(200, 200, 200);

std::string number_text(double value, bool european, bool remove_zeros)
{
    std::string text = european ? sweep_format_european(value) : sweep_format_fixed5(value);
    return remove_zeros ? sweep_remove_trailing_zeros(text) : text;
}

// A name is one cell: its tabs and line ends would split it.
std::string one_cell(std::string text)
{
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return text;
}

template <typename F> void on_range(ole_object* sheet, int c1, int r1, int c2, int r2, F f)
{
    ole_object* range = sheet_range(sheet, c1, r1, c2, r2);
    f(range);
    ole_release(range);
}

void test_block(ole_object* sheet, int first, const s_test& test, bool european, bool remove_zeros)
{
    std::string block = one_cell(test.Name) + "\nStep\tFrequency (Hz)\tGain (dB)\tPhase (\xB0)";
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
    ole_object *app = nullptr, *books = nullptr, *book = nullptr;
    if (const int started = excel_start(app, books, book); started != 0) {
        ole_show_start_failure(started, "Excel", "Excel Export Error");
        return -1;
    }
    ole_object* sheet = sheet_active(app);
    for (size_t j = 0; j < test_keys.size(); ++j) {
        s_test test;
        if (db_get_test(test, test_keys[j], true) != 0)
            test.Name = "Test " + std::to_string(test_keys[j]) + " not found";
        test_block(sheet, 5 * static_cast<int>(j) + 1, test, european, remove_zeros);
    }
    app_set_visible(app);
    ole_release(sheet);
    ole_release(book);
    ole_release(books);
    ole_release(app);
    return 0;
}

#include "graph/bmp_file.h"
#include "office_support.h"

#include <stdexcept>

namespace {

struct s_started {
    ole_object *app = nullptr, *books = nullptr, *book = nullptr, *sheet = nullptr;
    int result = 0;
    s_started()
    {
        result = excel_start(app, books, book);
        sheet = sheet_active(app);
    }
    // Visible, then released application last: the workbook is written.
    void finish(bool visible = true)
    {
        if (visible)
            app_set_visible(app);
        for (ole_object* o : {sheet, book, books, app})
            ole_release(o);
    }
};

} // namespace

TEST(OleLayer, ColumnLettersAddressesAndWidths)
{
    const std::pair<int, const char*> letters[] = {
        {1, "A"},    {26, "Z"},    {27, "AA"},     {52, "AZ"},  {53, "BA"},
        {702, "ZZ"}, {703, "AAA"}, {16384, "XFD"}, {16385, ""}, {0, ""}};
    for (const auto& [column, text] : letters)
        EXPECT_EQ(ole_column_letters(column), text) << column;
    EXPECT_EQ(ole_range_address(1, 3, 7, 10), "A3:G10");
    EXPECT_EQ(ole_range_address(1, 1, 16385, 1), "");
    EXPECT_FLOAT_EQ(ole_column_width(40), 5.0f);
    EXPECT_NEAR(ole_column_width(95), 12.857f, 0.001f);
    const std::pair<const char*, int> versions[] = {
        {"Excel.Application.16", 9016}, {"Excel.Application.12", 12}, {"Excel.Application.8", 8},
        {"Excel.Application.13", 9013}, {"Excel.Application.5", 6},   {"Excel.Application.x", 6}};
    for (const auto& [text, number] : versions)
        EXPECT_EQ(excel_version_number(text), number) << text;
    EXPECT_EQ(ole_wide_from_ansi("\x80\xB0\x81"), L"\u20AC\u00B0?");
}

TEST_F(office_fixture, InvokeFindsMembersWithoutCaseAndRegistryFailuresAreReported)
{
    EXPECT_EQ(ole_invoke(DISPATCH_METHOD, nullptr, nullptr, L"Anything"), 0);
    s_started x;
    ASSERT_EQ(x.result, 0);
    EXPECT_EQ(ole_invoke(DISPATCH_PROPERTYGET, nullptr, x.app, L"NoSuchMember"),
              DISP_E_UNKNOWNNAME);
    VARIANT result;
    EXPECT_EQ(ole_invoke(DISPATCH_PROPERTYGET, &result, x.app, L"aCTIVEsHEET"), S_OK);
    EXPECT_EQ(result.vt, VT_DISPATCH);
    EXPECT_NE(sheet_set_name(x.sheet, "bad/name"), S_OK);
    x.finish(false);
    EXPECT_TRUE(opened.empty()); // never made visible: nothing written

    std::string version;
    EXPECT_EQ(excel_version("Excel.Application", version), 9016);
    EXPECT_EQ(version, "16");
    ole_unregister_server("Excel.Application");
    s_started missing;
    EXPECT_EQ(missing.result, -1);
    ole_register_server("Excel.Application", [] { return static_cast<ole_object*>(nullptr); });
    s_started broken;
    EXPECT_EQ(broken.result, -2);
    EXPECT_EQ(ole_start_failure_text(-1, "Word"), "Word server not found on this PC");
    EXPECT_EQ(ole_start_failure_text(-2, "Excel"), "Excel is not registered properly on this PC");
    ole_register_server("Excel.Application", excel_server_create, "Excel.Application.16");
}

TEST_F(office_fixture, CellsBordersMergesAndSheetsReachTheWrittenFile)
{
    s_started x;
    ASSERT_EQ(x.result, 0);
    range_set_text(x.sheet, 1, 1, 2, 2, "a\tb\nc");
    range_set_text(x.sheet, 1, 4, 6, 4, "'12\t12.5\t1,5\t=1+1\t1.5E+003\t x");
    ole_object* texts = sheet_range(x.sheet, 1, 5, 1, 5);
    range_number_format(texts, "@");
    range_set_value(texts, "42");
    ole_object* box = sheet_range(x.sheet, 2, 7, 4, 9);
    range_border_weight(box, XL_EDGE_LEFT, XL_MEDIUM);
    range_border_line_style(box, XL_INSIDE_HORIZONTAL, XL_DASH);
    ole_object* one = sheet_range(x.sheet, 8, 1, 8, 1);
    range_merge(one);
    ole_object* wide = sheet_range(x.sheet, 8, 2, 10, 2);
    range_merge(wide);
    ole_object* over = sheet_range(x.sheet, 9, 2, 11, 3);
    range_merge(over);
    for (ole_object* o : {texts, box, one, wide, over})
        ole_release(o);
    set_column_width(x.sheet, 40, 3, 3);
    set_column_width(x.sheet, 5, 4, 4);
    sheet_set_name(x.sheet, "Data");
    sheets_add(x.book);
    ole_object* added = sheet_active(x.app);
    sheet_set_name(added, "Added");
    ole_release(added);
    x.finish();

    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].rfind(dir + "/reports/", 0), 0u);
    EXPECT_EQ(std::filesystem::path(opened[0]).extension(), ".xlsx");
    auto f = dump(opened[0]);
    EXPECT_EQ(f["active\tAdded"].size(), 0u);
    EXPECT_TRUE(f.count("active\tAdded"));
    const std::pair<const char*, std::pair<const char*, const char*>> cells[] = {
        {"A1", {"str", "a"}},    {"B1", {"str", "b"}},      {"A2", {"str", "c"}},
        {"A4", {"str", "12"}},   {"B4", {"float", "12.5"}}, {"C4", {"str", "1,5"}},
        {"D4", {"str", "=1+1"}}, {"E4", {"int", "1500"}},   {"F4", {"str", " x"}},
        {"A5", {"str", "42"}}};
    for (const auto& [ref, expected] : cells) {
        const auto& cell = f["cell\tData\t" + std::string(ref)];
        ASSERT_GE(cell.size(), 2u) << ref;
        EXPECT_EQ(cell[CELL_TYPE], expected.first) << ref;
        EXPECT_EQ(cell[CELL_VALUE], expected.second) << ref;
    }
    EXPECT_FALSE(f.count("cell\tData\tB2"));
    EXPECT_EQ(f["cell\tData\tB7"][CELL_BORDERS], "medium/-/-/dashed");
    EXPECT_EQ(f["cell\tData\tC8"][CELL_BORDERS], "-/dashed/-/dashed");
    EXPECT_EQ(f["cell\tData\tD9"][CELL_BORDERS], "-/dashed/-/-");
    EXPECT_FALSE(f.count("merge\tData\tH1:H1"));
    EXPECT_FALSE(f.count("merge\tData\tH2:J2"));
    EXPECT_TRUE(f.count("merge\tData\tI2:K3"));
    // The file stores widths with the cell padding: 5.0 characters as 5.711.
    EXPECT_EQ(f["width\tData\tC"][0].substr(0, 5), "5.711");
    EXPECT_EQ(f["width\tData\tD"][1], "1");
    // Sheet order: the added sheet went before the active one.
    EXPECT_TRUE(f.count("order\tAdded,Data,Sheet2,Sheet3"));
}

// A typed block goes in as its maker typed it: a text that reads like a
// number or a formula stays text, a number stays a number in a text-formatted
// cell, cells the block leaves empty are cleared and cells past its width
// are dropped.
TEST_F(office_fixture, TypedCellsKeepTheirKindWhateverTheyReadLike)
{
    s_started x;
    ASSERT_EQ(x.result, 0);
    range_set_text(x.sheet, 2, 3, 5, 4, "old\told\told\told\nold\told\told\told");
    ole_object* texts = sheet_range(x.sheet, 2, 2, 2, 2);
    range_number_format(texts, "@");
    ole_release(texts);
    auto cells = std::make_shared<ole_cells>(3, 3);
    for (const double v : {12.5, -0.001})
        cells->add_number(v);
    cells->add_text("1.5");
    cells->end_row();
    for (const char* text : {"=1+1", "'x", "Phase(\xB0)"})
        cells->add_text(text);
    cells->end_row();
    cells->add_text("");
    cells->end_row();
    cells->add_number(7);
    for (const char* text : {"", "+SUM(1,2)", "dropped"})
        cells->add_text(text);
    range_set_cells(x.sheet, 2, 2, cells); // B2:D5
    x.finish();

    ASSERT_EQ(opened.size(), 1u);
    auto f = dump(opened[0]);
    const std::pair<const char*, std::pair<const char*, const char*>> expected[] = {
        {"B2", {"float", "12.5"}}, {"C2", {"float", "-0.001"}},  {"D2", {"str", "1.5"}},
        {"B3", {"str", "=1+1"}},   {"C3", {"str", "'x"}},        {"D3", {"str", "Phase(\u00B0)"}},
        {"B5", {"int", "7"}},      {"D5", {"str", "+SUM(1,2)"}}, {"E3", {"str", "old"}}};
    for (const auto& [ref, cell] : expected) {
        const auto& got = f["cell\tSheet1\t" + std::string(ref)];
        ASSERT_GE(got.size(), 2u) << ref;
        EXPECT_EQ(got[CELL_TYPE], cell.first) << ref;
        EXPECT_EQ(got[CELL_VALUE], cell.second) << ref;
    }
    for (const char* cleared : {"B4", "C4", "D4", "C5", "E5"})
        EXPECT_EQ(f.count("cell\tSheet1\t" + std::string(cleared)), 0u) << cleared;
}

// A picture lands where AddPicture puts it and at the size it asks for, both
// in points (4/3 pixel each, 9525 EMU a pixel in the drawing), whatever the
// size of the bitmap file itself.
TEST_F(office_fixture, PictureTakesItsRequestedPlaceAndSize)
{
    const std::string bmp = dir + "/small.bmp";
    ASSERT_EQ(bmp_write_file(bmp, {40, 20, std::vector<uint8_t>(40 * 20 * 3, 0x80)}), 0);
    const struct {
        int left, top, width, height;
        const char* from; // column and row of the top-left anchor, then the extent
        const char* extent;
    } cases[] = {{0, 0, 30, 15, "<xdr:col>0</xdr:col>", "cx=\"381000\" cy=\"190500\""},
                 {2, 203, 60, 45, "<xdr:row>13</xdr:row>", "cx=\"762000\" cy=\"571500\""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.extent);
        opened.clear();
        s_started x;
        range_set_text(x.sheet, 1, 1, 1, 1, "x");
        sheet_add_picture(x.sheet, bmp, c.left, c.top, c.width, c.height);
        x.finish();
        ASSERT_EQ(opened.size(), 1u);
        const std::string drawing = zip_entry(opened[0], "xl/drawings/drawing1.xml");
        EXPECT_NE(drawing.find(c.from), std::string::npos) << drawing;
        EXPECT_NE(drawing.find(c.extent), std::string::npos) << drawing;
        EXPECT_EQ(members_with_formulas(opened[0]), std::vector<std::string>{});
    }
}

namespace {

// An automation object whose last act fails, as writing a report may.
class failing_release : public ole_object {
public:
    HRESULT invoke(DISPID, uint16_t, std::span<const VARIANT>, DISPID, VARIANT*) override
    {
        return S_OK;
    }

protected:
    std::span<const wchar_t* const> member_names() const override { return {}; }
    void on_last_release() override { throw std::runtime_error("disk full"); }
};

} // namespace

// Releasing never throws into the report; the object is gone all the same
// (the sanitizer build would report it otherwise).
TEST(OleLayer, ReleaseSwallowsWhatTheLastActThrows)
{
    auto* object = new failing_release;
    object->add_ref();
    EXPECT_NO_THROW(ole_release(object));
    EXPECT_NO_THROW(ole_release(object));
    EXPECT_NO_THROW(ole_release(nullptr));
}

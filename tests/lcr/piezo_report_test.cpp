// The piezo report built through the spreadsheet server and read back from
// the written workbook, with pictures from a painter that needs no display.

#include "lcr/piezo_report.h"
#include "office/ole.h"
#include "tests/office/office_support.h"

#include <cstring>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// Pictures whose every pixel says where it came from (blue never 0).
class coded_painter : public piezo_report_painter {
public:
    s_bmp_image circuit(const s_piezo_values&) override
    {
        return {PIEZO_CIRCUIT_WIDTH, PIEZO_CIRCUIT_HEIGHT,
                std::vector<uint8_t>(PIEZO_CIRCUIT_WIDTH * PIEZO_CIRCUIT_HEIGHT * 3, 200)};
    }
    s_bmp_image graph() override
    {
        s_bmp_image image{PIEZO_GRAPH_WIDTH, PIEZO_GRAPH_HEIGHT, {}};
        for (int y = 0; y < PIEZO_GRAPH_HEIGHT; ++y)
            for (int x = 0; x < PIEZO_GRAPH_WIDTH; ++x)
                for (const int c : source(x, y))
                    image.rgb.push_back(static_cast<uint8_t>(c));
        return image;
    }
    static std::array<int, 3> source(int x, int y) { return {x & 255, y & 255, 1 + (x + y) % 250}; }
};

// A 24-bit bottom-up BMP file back as rows of RGB, top row first.
s_bmp_image read_bmp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> b{std::istreambuf_iterator<char>(in), {}};
    const auto u32 = [&](size_t at) {
        return static_cast<int>(b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 |
                                b.at(at + 3) << 24);
    };
    s_bmp_image image{u32(18), u32(22), {}};
    const size_t stride = (static_cast<size_t>(image.width) * 3 + 3) & ~size_t(3);
    for (int y = image.height - 1; y >= 0; --y)
        for (int x = 0; x < image.width; ++x)
            for (const int c : {2, 1, 0})
                image.rgb.push_back(b.at(u32(10) + y * stride + x * 3 + c));
    return image;
}

std::vector<std::string> media_of(const std::string& xlsx)
{
    std::vector<std::string> names;
    const std::string command = "/usr/bin/python3 -c \"import zipfile,sys; "
                                "[print(n) for n in zipfile.ZipFile(sys.argv[1]).namelist() "
                                "if n.startswith('xl/media/')]\" '" +
                                xlsx + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    char line[512];
    while (pipe && std::fgets(line, sizeof line, pipe))
        names.emplace_back(line, std::strcspn(line, "\n"));
    if (pipe)
        ::pclose(pipe);
    return names;
}

class PiezoReport : public office_fixture {
protected:
    void SetUp() override
    {
        office_fixture::SetUp();
        results->layout = 2;
        results->count = 2;
        const double point[8] = {1000, 12.5, 0.08, 12.345, -45.25, 0.0015, 2.5e-9, 99.5};
        for (int i = 0; i < 2; ++i)
            std::copy(point, point + 8, results->points[static_cast<size_t>(i)].v);
        values = {12.345, 0.8337, 3.0385e-8, 1.4469e-7, 1000, 1100, 12.345, 1e5};
        input.results = results.get();
        input.values = &values;
        input.stamp = {9, 5, 16, 8, 12, 2026};
        input.pictures_folder = dir + "/Pictures/QXL/Tarvelo2";
    }

    std::unique_ptr<LcrResults> results = std::make_unique<LcrResults>();
    s_piezo_values values;
    s_piezo_report_input input;
    coded_painter painter;
};

} // namespace

TEST(PiezoReportTexts, DatesValuesAndPictureNames)
{
    const std::pair<int, const char*> days[] = {
        {1, "01st"},  {2, "02nd"},  {3, "03rd"},  {4, "04th"},  {11, "11th"}, {12, "12th"},
        {13, "13th"}, {21, "21st"}, {22, "22nd"}, {23, "23rd"}, {30, "30th"}, {31, "31st"}};
    for (const auto& [day, text] : days)
        EXPECT_EQ(piezo_long_date({0, 0, 0, day, 3, 2025}), std::string(text) + " March 2025");
    const s_piezo_stamp s{9, 5, 16, 8, 12, 2026};
    EXPECT_EQ(piezo_long_time(s), "16:05:09");
    EXPECT_EQ(piezo_short_date(s), "08/12/2026");
    EXPECT_EQ(piezo_short_time(s), "16:05");
    EXPECT_EQ(piezo_picture_path("/p", "graph", s), "/p/peizo_graph_@08-12-2026_#16-05.bmp");
    const struct {
        double value;
        bool european, minimum;
        const char* text;
    } cases[] = {
        {12.345, true, true, "'1,2E+01    "},       {12.345, false, true, "1.234500E+001"},
        {1e5, true, false, "'1,0E+05    "},         {-0.00123456, true, false, "'-1,2E-03    "},
        {6911.503838, true, false, "'6,9E+03    "}, {2.5e-9, false, false, "2.500000E-009"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(piezo_report_value(c.value, c.european, c.minimum), c.text) << c.value;
    EXPECT_EQ(piezo_circuit_value(0.8337), "8,34E-01    ");
    EXPECT_EQ(piezo_circuit_value(1.4469e-7), "1,45E-07    ");
}

TEST(PiezoReportTexts, GraphTurnSetsEveryPixelByExactIndex)
{
    const s_bmp_image source = coded_painter().graph();
    const s_bmp_image turned = piezo_turn_graph(source);
    ASSERT_EQ(turned.width, 611);
    ASSERT_EQ(turned.height, 1009);
    const auto at = [](const s_bmp_image& i, int x, int y) {
        const size_t p = (static_cast<size_t>(y) * i.width + x) * 3;
        return std::array<int, 3>{i.rgb[p], i.rgb[p + 1], i.rgb[p + 2]};
    };
    for (const auto& [x, y] : {std::pair{0, 0}, {610, 1008}, {100, 500}, {0, 1008}, {610, 0}})
        EXPECT_EQ(at(turned, x, y), coded_painter::source(1008 - y, x)) << x << "," << y;
    EXPECT_TRUE(piezo_turn_graph(s_bmp_image{3, 2, {1, 2, 3}}).rgb.empty()) << "short pixels";
}

TEST_F(PiezoReport, ThreeSheetsTheirTextsAndBothPictures)
{
    for (const bool european : {false, true}) {
        opened.clear();
        ASSERT_EQ(piezo_report(nullptr, input, painter, european), 0);
        ASSERT_EQ(opened.size(), 1u);
        auto f = dump(opened[0]);
        EXPECT_TRUE(f.count("order\tPiezo Report,Sweep Data,Graph"));
        for (const char* sheet : {"Piezo Report", "Sweep Data", "Graph"}) {
            const std::string s = "cell\t" + std::string(sheet) + "\t";
            EXPECT_EQ(f[s + "A1"][CELL_VALUE], "Sweep No. 1/1") << sheet;
            EXPECT_EQ(f[s + "E1"][CELL_VALUE], "08th December 2026 - 16:05:09") << sheet;
            EXPECT_EQ(f[s + "E1"][CELL_HALIGN], "right");
            EXPECT_EQ(f[s + "A1"][CELL_FILL], "FFEEECE1");
            EXPECT_TRUE(f.count("merge\t" + std::string(sheet) + "\tA1:D1"));
            EXPECT_TRUE(f.count("merge\t" + std::string(sheet) + "\tE1:I1"));
        }
        const std::string r = "cell\tPiezo Report\t";
        const std::pair<const char*, const char*> labels[] = {
            {"A2", "QXL Tarvelo Piezo Circuit Impedance"},
            {"A3", "Measured Values"},
            {"A4", "Minimum Impedance"},
            {"A5", "Maximum Impedance"},
            {"A6", "Anti Resonant"},
            {"A7", "Resonant"},
            {"A8", "Calculated Values"},
            {"A9", "L"},
            {"A10", "R"},
            {"A11", "C"},
            {"A12", "Cp"},
            {"A13", "Circuit Diagram"},
            {"D4", european ? "1,2E+01    " : "1.234500E+001"},
            {"D6", european ? "6,9E+03    " : "6.911504E+003"},
            {"D9", european ? "8,3E-01    " : "8.337000E-001"},
            {"D11", european ? "3,0E-08    " : "3.038500E-008"}};
        for (const auto& [ref, text] : labels)
            EXPECT_EQ(f[r + ref][CELL_VALUE], text) << ref;
        for (const char* ref : {"D4", "D5", "D6", "D7", "D9", "D10", "D11", "D12"})
            EXPECT_EQ(f[r + ref][CELL_TYPE], "str") << ref << " is the report's text, not a number";
        EXPECT_EQ(f[r + "A2"][CELL_FILL], "FF800020");
        EXPECT_EQ(f[r + "A4"][CELL_FILL], "FFF2F2F2");
        EXPECT_EQ(f[r + "D4"][CELL_BORDERS].substr(0, 6), "dotted");
        for (const char* merge : {"A2:I2", "A4:C4", "D12:I12", "A14:I27"})
            EXPECT_TRUE(f.count("merge\tPiezo Report\t" + std::string(merge))) << merge;
        EXPECT_EQ(f[r + "A27"][CELL_BORDERS], "medium/-/-/medium");

        const std::string d = "cell\tSweep Data\t";
        const std::pair<const char*, const char*> sweep[] = {
            {"A2", "QXL Tarvelo LCR Piezo Sweep"},
            {"D3", "Tan\u00F0"},
            {"F3", "Phase (\u00B0)"},
            {"I3", "R (ohm)"},
            {"A5", "2"},
            {"B4", "1000"},
            {"C4", european ? "1,3E+01    " : "12.5"},
            {"I5", european ? "1,0E+02    " : "99.5"},
            {"F4", european ? "-4,5E+01    " : "-45.25"}};
        for (const auto& [ref, text] : sweep)
            EXPECT_EQ(f[d + ref][CELL_VALUE], text) << ref;
        EXPECT_EQ(f[d + "C5"][CELL_BORDERS], "dashed/dashed/dashed/medium");
        EXPECT_EQ(f["width\tSweep Data\tJ"][1], "1");
        EXPECT_EQ(f["cell\tGraph\tA2"][CELL_VALUE], "QXL Piezo Graph");
        EXPECT_TRUE(f.count("merge\tGraph\tA3:I50"));
        EXPECT_EQ(media_of(opened[0]).size(), 2u);
    }
    const std::string circuit = input.pictures_folder + "/peizo_circuit_@08-12-2026_#16-05.bmp";
    const std::string graph = input.pictures_folder + "/peizo_graph_@08-12-2026_#16-05.bmp";
    EXPECT_EQ(read_bmp(circuit).width, 428);
    const s_bmp_image turned = read_bmp(graph);
    ASSERT_EQ(turned.width, 611);
    ASSERT_EQ(turned.height, 1009);
    size_t unset = 0;
    for (size_t i = 2; i < turned.rgb.size(); i += 3)
        unset += turned.rgb[i] == 0;
    EXPECT_EQ(unset, 0u);
    const size_t p = (500 * 611 + 100) * 3;
    EXPECT_EQ((std::array<int, 3>{turned.rgb[p], turned.rgb[p + 1], turned.rgb[p + 2]}),
              coded_painter::source(508, 100));
    EXPECT_TRUE(ui.shown().empty());
}

TEST_F(PiezoReport, ImpedanceLayoutSweepTableHasItsOwnSixColumns)
{
    results->layout = 6;
    for (int i = 0; i < 2; ++i)
        std::fill(results->points[static_cast<size_t>(i)].v + 5,
                  results->points[static_cast<size_t>(i)].v + 8, 0.0);
    ASSERT_EQ(piezo_report(nullptr, input, painter, false), 0);
    auto f = dump(opened.at(0));
    const std::string d = "cell\tSweep Data\t";
    const std::pair<const char*, const char*> cells[] = {
        {"C3", "Z Real (ohm)"},   {"D3", "Z Quad. (ohm)"}, {"E3", "Imp. (ohm)"},
        {"F3", "Phase (\u00B0)"}, {"E4", "12.345"},        {"F5", "-45.25"}};
    for (const auto& [ref, text] : cells)
        EXPECT_EQ(f[d + ref][CELL_VALUE], text) << ref;
    for (const char* ref : {"G3", "G4", "I5"}) {
        const auto it = f.find(d + ref);
        EXPECT_TRUE(it == f.end() || it->second.at(CELL_VALUE) == "None") << ref;
    }
}

TEST_F(PiezoReport, BadInputIsToldAndLeavesNothingHalfWritten)
{
    const auto pictures = [&] {
        size_t n = 0;
        std::error_code e;
        for (const auto& entry : fs::recursive_directory_iterator(dir + "/Pictures", e))
            n += entry.is_regular_file() && entry.path().extension() == ".bmp";
        return n;
    };
    s_piezo_report_input nothing = input;
    nothing.values = nullptr;
    EXPECT_EQ(piezo_report(nullptr, nothing, painter, false), -1);
    // The folder is in the way of a file, then the circuit's name is taken.
    fs::create_directories(dir + "/Pictures/QXL");
    std::ofstream(input.pictures_folder) << "x";
    EXPECT_EQ(piezo_report(nullptr, input, painter, false), -1);
    fs::remove(input.pictures_folder);
    fs::create_directories(piezo_picture_path(input.pictures_folder, "graph", input.stamp));
    EXPECT_EQ(piezo_report(nullptr, input, painter, false), -1);
    EXPECT_EQ(pictures(), 0u);
    fs::remove_all(dir + "/Pictures");
    ole_unregister_server("Excel.Application");
    EXPECT_EQ(piezo_report(nullptr, input, painter, false), -1);
    ole_register_server("Excel.Application", excel_server_create, "Excel.Application.16");
    EXPECT_TRUE(opened.empty());
    const std::pair<const char*, const char*> told[] = {
        {"There is nothing to export yet", "Export to Excel"},
        {"Unable to create the pictures folder ", "Excel Export Error"},
        {"Unable to write the picture ", "Excel Export Error"},
        {"Excel server not found on this PC", "Excel Export Error"}};
    ASSERT_EQ(ui.shown().size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(ui.shown()[i].text.rfind(told[i].first, 0), 0u) << ui.shown()[i].text;
        EXPECT_EQ(ui.shown()[i].caption, told[i].second);
    }
    EXPECT_EQ(ui.shown()[2].text,
              "Unable to write the picture " +
                  piezo_picture_path(input.pictures_folder, "graph", input.stamp));
}

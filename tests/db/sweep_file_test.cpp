#include "base/sweep_numbers.h"
#include "db/sweep_file.h"
#include "db_test_support.h"

#include <bit>
#include <clocale>
#include <cmath>
#include <random>
#include <vector>

namespace {

// 07-12-2026 09:35:59 UTC.
constexpr std::time_t SWEEP_TIME = 1796636159;

using SweepFile = db_fixture;

TEST_F(SweepFile, RowsAreTabSeparatedWithWindowsExponents)
{
    const double values[] = {1000.0, 1.5, 0.75, -3.5, 45.0, 1e-6};
    EXPECT_EQ(sweep_file_row(1, values),
              "1\t1000.0000\t1.50000E+000\t7.50000E-001\t-3.50000E+000\t4.50000E+001"
              "\t1.00000E-006");
    const double lcr[] = {12.345678, 1e120, 0.0};
    EXPECT_EQ(sweep_file_row(3000, lcr), "3000\t12.3457\t1.00000E+120\t0.00000E+000");
    EXPECT_EQ(sweep_file_date_line(SWEEP_TIME), "07-12-2026 - 09:35");
    EXPECT_EQ(sweep_file_path("/data", 4), "/data/sweep4.dat");
}

TEST_F(SweepFile, FullSweepHasADateLineAndNoLineEndAfterTheLastRow)
{
    sweep_file_writer writer;
    ASSERT_TRUE(writer.open(sweep_file_path(dir, 1), SWEEP_TIME));
    for (int i = 0; i < 3000; ++i) {
        const double values[] = {10.0 + i, 0.5, 0.25, -6.0, -90.0 + i * 0.01, 1e-3};
        writer.write_row(sweep_file_row(i + 1, values));
    }
    ASSERT_TRUE(writer.close());

    const std::string text = read_file("sweep1.dat");
    EXPECT_EQ(text.substr(0, 20), "07-12-2026 - 09:35\r\n");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3000);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 3000);
    EXPECT_NE(text.back(), '\n');

    sweep_file_contents contents;
    ASSERT_EQ(sweep_file_read(path("sweep1.dat"), contents), sweep_file_status::ok);
    EXPECT_EQ(contents.date_line, "07-12-2026 - 09:35");
    ASSERT_EQ(contents.rows.size(), 3000u);
    EXPECT_EQ(contents.rows[2999][0], 3000.0);
    EXPECT_EQ(contents.rows[2999][1], 3009.0);
    EXPECT_NEAR(contents.rows[2999][5], -60.01, 1e-9);
}

TEST_F(SweepFile, ReaderTakesLineFeedsAndLeadingBlanksButRefusesRaggedFiles)
{
    sweep_file_contents contents;
    EXPECT_EQ(sweep_file_parse("01-01-2026 - 00:00\n  1\t2.5\t3\n\t2\t3.5\t4\n", contents),
              sweep_file_status::ok);
    ASSERT_EQ(contents.rows.size(), 2u);
    EXPECT_EQ(contents.rows[1], (std::vector<double>{2, 3.5, 4}));

    EXPECT_EQ(sweep_file_parse("d\n1\t2\t3\n2\t3", contents), sweep_file_status::malformed);
    EXPECT_EQ(sweep_file_parse("d\n1\t2\tx", contents), sweep_file_status::malformed);
    EXPECT_EQ(sweep_file_parse("", contents), sweep_file_status::malformed);
    EXPECT_EQ(sweep_file_read(path("sweep9.dat"), contents), sweep_file_status::cannot_open);
}

TEST_F(SweepFile, WriterReportsAFolderThatDoesNotExist)
{
    sweep_file_writer writer;
    EXPECT_FALSE(writer.open(path("no/such/folder/sweep1.dat"), SWEEP_TIME));
    writer.write_row("1\t2");
    EXPECT_FALSE(writer.close());
}

TEST(SweepNumbers, FrequencyDigitGrouping)
{
    const std::pair<const char*, double> accepted[] = {
        {"1,234.5", 1234.5},          {"1.234,5", 1234.5},    {"12,5", 12.5},
        {"1,234,567.25", 1234567.25}, {"1.234.567", 1234567}, {"1,234,567", 1234567},
        {"1.00000E+003", 1000.0},     {" 20.0 ", 20.0},       {"999", 999.0}};
    for (const auto& [text, value] : accepted) {
        double got = -1.0;
        EXPECT_TRUE(sweep_parse_frequency(text, got)) << text;
        EXPECT_DOUBLE_EQ(got, value) << text;
    }
    for (const char* text :
         {"1,23.5", "1,234.5.6", "12a", "", "1,,234", "1234,567.8", "-1,234.5"}) {
        double got = 0.0;
        EXPECT_FALSE(sweep_parse_frequency(text, got)) << text;
    }
}

TEST(SweepNumbers, PlainNumbersRefuseJunkAndIgnoreTheLocale)
{
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    double value = 0.0;
    EXPECT_TRUE(sweep_parse_number("+1.5E-003", value));
    EXPECT_EQ(value, 1.5e-3);
    EXPECT_EQ(sweep_format_fixed4(2.5), "2.5000");
    EXPECT_EQ(sweep_format_scientific5(-0.00012345678), "-1.23457E-004");
    std::setlocale(LC_NUMERIC, saved.c_str());
    for (const char* text : {"nan", "inf", "1e999", "1.5x", "++1", "+-1", "--1", "", "0x10", "1 2"})
        EXPECT_FALSE(sweep_parse_number(text, value)) << text;
}

// The workbooks place numbers as their texts show them without making the
// texts: every rounding reads the same number the text would, to the bit,
// and the European short form is the one made from the standard text.
TEST(SweepNumbers, RoundingsAndTheEuropeanFormAgreeWithTheTexts)
{
    // Exact halves (0.03125 at four decimals, 10.03125 at six digits) go to
    // the even digit; the rest lie near halves, powers of ten and the ends
    // of the exact powers.
    std::vector<double> values = {0.03125,   0.09375, 10.03125, 10.09375, 1003125.0,
                                  1003135.0, 2.00005, 9.999995, 999999.5, 99999.95,
                                  1e5,       1e-17,   1e22,     1.5e-9,   -2.5e-15,
                                  1e300,     5e-324,  0.0,      -0.0,     123456789.123456};
    for (const double v : std::vector<double>(values)) {
        values.push_back(-v);
        values.push_back(std::nextafter(v, 0.0));
        values.push_back(std::nextafter(v, 1e308));
    }
    for (int i = 0; i < 4000; ++i)
        values.push_back(i * 0.00005 + 1e-17 * (i % 3));
    std::mt19937_64 random(27);
    for (int i = 0; i < 4000; ++i) { // anything, and what a sweep file holds
        const double v = std::ldexp(std::uniform_real_distribution<>(-1.0, 1.0)(random),
                                    std::uniform_int_distribution<>(-80, 80)(random));
        double in_file = 0.0;
        sweep_parse_number(sweep_format_scientific5(v), in_file);
        values.insert(values.end(), {v, in_file});
    }
    const auto bits = [](double v) { return std::bit_cast<uint64_t>(v); };
    for (const double v : values) {
        double fixed = 0.0, scientific = 0.0;
        ASSERT_TRUE(sweep_parse_number(sweep_format_fixed4(v), fixed)) << v;
        ASSERT_TRUE(sweep_parse_number(sweep_format_scientific5(v), scientific)) << v;
        EXPECT_EQ(bits(sweep_round_fixed(v, 4)), bits(fixed)) << v;
        EXPECT_EQ(bits(sweep_round_scientific(v, 5)), bits(scientific)) << v;
        EXPECT_EQ(sweep_format_european(v), sweep_european_short(sweep_format_scientific5(v))) << v;
    }
    EXPECT_EQ(sweep_round_fixed(0.03125, 4), 0.0312);
    EXPECT_EQ(sweep_round_scientific(10.09375, 5), 10.0938);
    EXPECT_EQ(sweep_round_scientific(-0.00012345678, 5), -1.23457e-4);
}

} // namespace

// A run at the bench: parts counted per bin, and every verdict kept in the
// journal, which a failed write leaves as it was.

#include "sweep/bin_tally.h"
#include "sweep/verdict_journal.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace fs = std::filesystem;

namespace {

s_test_verdict verdict(bool pass, int bin = 0, std::vector<std::string> failed = {})
{
    return {pass, bin, bin > 0 ? "B" + std::to_string(bin) : "", std::move(failed), "coil.json"};
}

std::string bytes_of(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

} // namespace

TEST(BenchRun, PartsAreCountedInTheirBinsUntilReset)
{
    limit_set two_bins;
    two_bins.bins = {{"A", {}}, {"B", {}}};
    struct row {
        const limit_set set;
        std::vector<s_test_verdict> parts;
        std::vector<std::pair<std::string, int>> rows;
    };
    const row rows[] = {
        {two_bins,
         {verdict(true, 1), verdict(true, 2), verdict(false, 0, {"x"}), verdict(true, 2)},
         {{"1 A", 1}, {"2 B", 2}, {"FAIL", 1}}},
        // A pass that names no bin of the set is not counted as a pass.
        {two_bins, {verdict(true, 3), verdict(true, 0)}, {{"1 A", 0}, {"2 B", 0}, {"FAIL", 2}}},
        {limit_set{}, {verdict(true), verdict(false), verdict(true)}, {{"PASS", 2}, {"FAIL", 1}}},
    };
    for (const row& r : rows) {
        s_bin_tally tally = bin_tally_for(r.set);
        for (const s_test_verdict& v : r.parts)
            bin_tally_add(tally, v);
        std::vector<std::pair<std::string, int>> got;
        for (const s_bin_row& b : tally.rows)
            got.emplace_back(b.name, b.parts);
        EXPECT_EQ(got, r.rows);
        EXPECT_EQ(bin_tally_total(tally), static_cast<int>(r.parts.size()));
        bin_tally_reset(tally);
        EXPECT_EQ(bin_tally_total(tally), 0);
        EXPECT_EQ(tally.rows.size(), r.rows.size());
    }
}

TEST(BenchRun, TheJournalKeepsEveryVerdictAndSurvivesAFailedWrite)
{
    const fs::path dir = fs::temp_directory_path() / "tarvelo-bench-journal";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::time_t when = 1700000000;
    std::string error;
    ASSERT_TRUE(verdict_journal_add(dir.string(), 1, when, verdict(true, 2), error)) << error;
    ASSERT_TRUE(verdict_journal_add(
        dir.string(), 2, when, verdict(false, 0, {"fitted L: 9.1 mH, \"low\"", "fr: none"}), error))
        << error;
    const std::string text = bytes_of(dir / VERDICT_JOURNAL_NAME);
    // The date is local time: only its place is checked.
    const auto without_date = [](std::string line) {
        const size_t first = line.find(',');
        return line.erase(first + 1, line.find(',', first + 1) - first - 1);
    };
    std::istringstream lines(text);
    std::vector<std::string> got;
    for (std::string l; std::getline(lines, l);)
        got.push_back(without_date(l.substr(0, l.size() - 1)));
    EXPECT_EQ(got, (std::vector<std::string>{
                       "Part,,Limit Set,Verdict,Bin,Failed Checks", "1,,coil.json,PASS,2 B2,",
                       "2,,coil.json,FAIL,,\"fitted L: 9.1 mH, \"\"low\"\"; fr: none\""}));
    EXPECT_EQ(text.find('\n') - 1, text.find("\r\n"));
    // A journal that cannot be replaced (its folder is gone, a file in its
    // place) reports it and nothing is lost elsewhere.
    fs::remove_all(dir);
    std::ofstream(dir.string(), std::ios::binary) << "not a folder";
    EXPECT_FALSE(verdict_journal_add(dir.string(), 3, when, verdict(true, 1), error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(bytes_of(dir), "not a folder");
    fs::remove(dir);
}

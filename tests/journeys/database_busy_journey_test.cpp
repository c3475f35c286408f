// A sweep to be saved while another program reads the database: the user is
// told that it was not stored and where its sweep file is kept, the file is
// there, and once the other program lets go the file imports.

#include "tests/db/db_test_support.h"
#include "tests/journeys/journey.h"
#include "tests/support/sqlite_reader.h"

#include <memory>

namespace fs = std::filesystem;

namespace {

constexpr const char* KEPT =
    "The sweep was not stored in the database. Its sweep file is kept as\n";

// The lines of a sweep file that carry a point (step, frequency, gain, ...).
int point_lines(const fs::path& file)
{
    std::ifstream in(file);
    int n = 0;
    for (std::string line; std::getline(in, line);)
        n += std::count(line.begin(), line.end(), '\t') >= 3;
    return n;
}

} // namespace

TEST_F(journey, SweepSavedWhileAnotherProgramReadsTheDatabaseIsKeptAndImportsLater)
{
    const std::string db = (dir() / "default.db").string();
    std::unique_ptr<sqlite_reader> reader;
    std::string kept;
    run("HXM4100", [&] {
        connect_to_instrument();
        fill_sweep_details("Bench A", "Loop 1");

        reader = std::make_unique<sqlite_reader>(db, (dir() / "reader.txt").string());
        ASSERT_TRUE(reader->holding()) << "sqlite3 did not start its read";
        show_boxes_live();
        const size_t before = boxes().size();
        click("Start Sweep");
        // The store waits a few seconds for the lock before it gives up.
        await_dialog("Database Error");
        screenshot("locked");
        click("OK");
        EXPECT_TRUE(wait_for([&] {
            return boxes().size() == before + 2 && boxes().back().text.rfind(KEPT, 0) == 0;
        })) << "nothing said where the sweep is kept";
        await_dialog("Database Error");
        screenshot("sweep_kept");
        click("OK");
        await_dialog("");
        ASSERT_EQ(boxes().size(), before + 2);
        EXPECT_EQ(boxes()[before].text, "Database file is locked\nError Code: 5");
        EXPECT_EQ(boxes()[before + 1].caption, "Database Error");
        const std::string text = boxes()[before + 1].text.substr(std::string(KEPT).size());
        kept = text.substr(0, text.find('\n'));
        EXPECT_TRUE(fs::exists(kept)) << kept;
        EXPECT_EQ(raw_query(db, "SELECT count(*) FROM Test"),
                  std::vector<std::vector<std::string>>{{"0"}});

        reader.reset();
        test_ui().push_file(kept);
        click("DATABASE");
        click_id(15011); // Import
        click_row("15100", "Bench A");
        EXPECT_TRUE(wait_for([&] {
            return list_rows("15101") == std::vector<std::string>{"sweep1"};
        })) << "the kept sweep file did not import";
        screenshot("imported");
    });
    EXPECT_EQ(raw_query(db, "PRAGMA integrity_check"),
              std::vector<std::vector<std::string>>{{"ok"}});
    const auto stored =
        raw_query(db, "SELECT Name, count(DataNo) FROM Test JOIN Data USING (TestNo)");
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0][0], "sweep1");
    EXPECT_EQ(stored[0][1], std::to_string(point_lines(kept)));
    EXPECT_GT(point_lines(kept), 0);
}

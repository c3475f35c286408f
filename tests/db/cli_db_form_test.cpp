// tarvelo2-cli's database form commands, run as a child process.
#include "db_form_support.h"
#include "tests/support/build_path.h"
#include "tests/support/cli_run.h"

namespace {

using cli_result = cli_output;

class CliDbForm : public db_fixture {
protected:
    void SetUp() override
    {
        db_fixture::SetUp();
        create();
        file = path("tests.db");
        add_session("alpha", "u2", {"a1", "a2"});
        add_session("bravo", "u1", {"b1"});
        db_close();
    }

    cli_result run(const std::string& args)
    {
        return run_command_line(std::string(TARVELO_CLI) + " " + args, dir + "/err.txt");
    }

    std::string file;
};

TEST_F(CliDbForm, ViewListsAsTheFormSorts)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", "session\t2\tbravo\tu1\t1/2/2024\tBay bravo\nsession\t1\talpha\tu2\t1/2/2024\tBay "
             "alpha\n"},
        {"--asc", "session\t1\talpha\tu2\t1/2/2024\tBay "
                  "alpha\nsession\t2\tbravo\tu1\t1/2/2024\tBay bravo\n"},
        {"--sort unit --session 1",
         "session\t1\talpha\tu2\t1/2/2024\tBay alpha\nsession\t2\tbravo\tu1\t1/2/2024\tBay bravo\n"
         "test\t2\ta2\tHV\ntest\t1\ta1\tHV\n"},
    };
    for (const auto& [options, out] : cases) {
        const cli_result r = run("db-view --db " + file + " " + options);
        EXPECT_EQ(r.status, 0) << options;
        EXPECT_EQ(r.out, out) << options;
    }
    EXPECT_EQ(run("db-view --db " + file + " --sort colour").status, 2);
}

TEST_F(CliDbForm, NewSessionFollowsTheSessionDetailsRules)
{
    const std::string base =
        "db-new-session --db " + file + " --unit U --location L --performed-by P";
    const std::tuple<std::string, int, std::string> cases[] = {
        {" --contract X --date 1/1/2020", 4,
         "[Tarvelo2] The value entered for Contract is too short. The minimum length is 2 "
         "characters.\n"},
        {" --contract XY --date 29/02/2023", 4,
         "[Tarvelo2] Please enter a valid Date in DD/MM/YYYY format\n"},
        {" --contract XY --date 1/1/1901", 0, ""},
    };
    for (const auto& [options, status, err] : cases) {
        const cli_result r = run(base + options);
        EXPECT_EQ(r.status, status) << options;
        EXPECT_EQ(r.err, err) << options;
    }
    EXPECT_EQ(file_counts(file), "3 3 9");
    EXPECT_EQ(raw_query(file, "SELECT Date FROM Session WHERE SessionNo=3")[0][0],
              "1901-01-01 00:00:00");
}

TEST_F(CliDbForm, DeleteAndSelectActAsTheFormsButtons)
{
    const std::string db = " --db " + file;
    const std::tuple<std::string, int, std::string> steps[] = {
        {"db-delete-test" + db + " 1", 4, "2 3 9"},          // answered No
        {"db-delete-test" + db + " 1 --yes", 0, "2 2 6"},    //
        {"db-delete-test" + db + " 99 --yes", 1, "2 2 6"},   // no such test
        {"db-delete-session" + db + " 1 --yes", 0, "1 1 3"}, // its remaining test goes too
        {"db-delete-session" + db + " 1 --yes", 1, "1 1 3"},
    };
    for (const auto& [args, status, counts] : steps) {
        EXPECT_EQ(run(args).status, status) << args;
        EXPECT_EQ(file_counts(file), counts) << args;
    }
    EXPECT_EQ(orphans(file), "0");

    const cli_result nine = run("db-select" + db + " 3 3 3 3 3 3 3 3 3");
    EXPECT_EQ(nine.status, 0);
    EXPECT_EQ(nine.out.rfind("selected\t3\tbravo\tu1\t1/2/2024\tBay bravo\tb1\tHV\n", 0), 0u);
    const cli_result ten = run("db-select" + db + " 3 3 3 3 3 3 3 3 3 3");
    EXPECT_EQ(ten.status, 4);
    EXPECT_EQ(ten.err, "[Tarvelo2] You may only select a maximum of 9 tests\n");
    EXPECT_EQ(run("db-select" + db + " 7").err, "[Tarvelo2] Please select a test\n");
}

} // namespace

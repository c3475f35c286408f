// tarvelo2-cli assessment-plan, run as a child process.
#include "tests/support/build_path.h"
#include "tests/support/cli_run.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

cli_output plan(const std::string& options)
{
    return run_command_line(std::string(TARVELO_CLI) + " assessment-plan " + options,
                            ::testing::TempDir() + "assessment_plan_err.txt");
}

} // namespace

TEST(AssessmentPlanCli, PrintsOneLinePerStepOrRefusesTheGroup)
{
    const struct {
        const char* options;
        int status;
        int lines;
        const char* first; // the first line printed, or the message
        const char* last;
    } cases[] = {
        {"--vector-group Dyn11 --tap 5", 0, 15,
         "HV open circuit 1U-1V\tHV\t1U\t1V\t\t1W 2U 2V 2W 2N\t\n",
         "HV-LV inductive inter-winding 1W-2W\tHV-LV\t1W\t2W\t\t1V 2U 2V\t1U 2N\n"},
        {"--vector-group ynyn0", 0, 15,
         "HV open circuit 1U-1N\tHV\t1U\t1N\t\t1V 1W 2U 2V 2W 2N\t\n",
         "HV-LV inductive inter-winding 1W-2W\tHV-LV\t1W\t2W\t\t1U 1V 2U 2V\t1N 2N\n"},
        {"--vector-group Dxx", 2, 0, "[Tarvelo2] Unknown vector group: Dxx\n", ""},
        {"--tap 5", 2, 0, "[Tarvelo2] assessment-plan needs --vector-group G", ""},
    };
    for (const auto& c : cases) {
        const cli_output r = plan(c.options);
        EXPECT_EQ(r.status, c.status) << c.options << r.err;
        EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), c.lines) << c.options;
        if (c.status != 0) {
            EXPECT_EQ(r.err.find(c.first), 0u) << r.err;
            continue;
        }
        EXPECT_EQ(r.out.substr(0, std::string(c.first).size()), c.first);
        EXPECT_EQ(r.out.substr(r.out.size() - std::string(c.last).size()), c.last) << r.out;
    }
}

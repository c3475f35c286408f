// tarvelo2-cli graph-margins, run as a child process on a stored database.
#include "../db/db_form_support.h"
#include "tests/support/build_path.h"

#include <cmath>
#include <cstdio>
#include <sys/wait.h>

namespace {

class CliGraph : public db_fixture {
protected:
    void SetUp() override
    {
        db_fixture::SetUp();
        create();
        s_session session;
        session.Name = "loops";
        ASSERT_EQ(db_save_session(session, false), 0);
        store("flat", 150, 200); // test 1: gain never reaches 0 dB
        store("loop", 150, 0);   // test 2
        store("fast", 3000, 0);  // test 3
        db_close();
    }

    void store(const char* name, double f_db, double offset)
    {
        s_test test;
        test.SessionNo = 1;
        test.Name = name;
        for (int i = 0; i < 61; ++i) {
            const double f = std::pow(10.0, i / 10.0);
            const s_test_point p{f, 20 * std::log10(f_db / f) + offset, 45 * std::log10(700 / f)};
            test_add_point(test, &p);
        }
        ASSERT_TRUE(db_store_test(test));
    }

    std::pair<int, std::string> run(const std::string& args, const char* command = "graph-margins")
    {
        const std::string cmd = std::string(TARVELO_CLI) + " " + command + " --db " +
                                path("tests.db") + " " + args + " 2>" + dir + "/err.txt";
        std::string out;
        FILE* p = ::popen(cmd.c_str(), "r");
        char buf[4096];
        for (size_t n; p && (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
            out.append(buf, n);
        const int status = p ? ::pclose(p) : -1;
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
    }
};

TEST_F(CliGraph, MarginsRepeatIdenticallyAndReportATestWithoutCrossing)
{
    const auto once = run("--tests 2,3 --selected 2 --gain-cursor 1000");
    ASSERT_EQ(once.first, 0);
    EXPECT_EQ(run("--tests 2,3 --selected 2 --gain-cursor 1000 --repeat 3"), once);
    EXPECT_NE(once.second.find("crossing\t1\tgain\t15"), std::string::npos) << once.second;
    EXPECT_NE(once.second.find("filter\t1\t15"), std::string::npos) << once.second;
    EXPECT_NE(once.second.find("gain readout\t  Frequency: 1000000.0000Hz \nGain: -50.4576dB"),
              std::string::npos)
        << once.second;

    const auto flat = run("--tests 1,2");
    EXPECT_EQ(flat.first, 0);
    EXPECT_EQ(read_file("err.txt").rfind("[Tarvelo2] On flat: \n", 0), 0u);
    EXPECT_EQ(flat.second.find("crossing\t2\tgain"), std::string::npos)
        << "the 0 dB search ends at the first test without a crossing";
    const std::string usage[] = {"--tests 1,x", "--tests 1,2,3,4,5,6,7,8,9,10", "",
                                 "--tests 1 --repeat 0"};
    for (const std::string& args : usage)
        EXPECT_EQ(run(args).first, 2) << args;
}

#ifdef TARVELO_CLI_RENDER
TEST_F(CliGraph, RenderWritesTheBitmapAndPrintsRangesAndNames)
{
    const std::string out = path("chart.bmp");
    const auto r = run("--tests 2,3 --out " + out +
                           " --size 800x500 --background white --margins "
                           "--freq-range 10,1e5 --gain-range centre",
                       "graph-render");
    ASSERT_EQ(r.first, 0) << read_file("err.txt");
    EXPECT_EQ(r.second.rfind("frequency\t10\t100000\ngain\t", 0), 0u) << r.second;
    EXPECT_NE(r.second.find("test\t1\tloop\tloop\ntest\t2\tfast\tfast\n"), std::string::npos);
    const std::string bmp = read_file("chart.bmp");
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(bmp.size(), 54u + 800u * 3u * 500u);
    const std::pair<std::string, int> refused[] = {
        {" --gain-range 0.2,0.7", 1}, {" --freq-range nan,5", 1}, {" --weight 4", 2}};
    for (const auto& [args, status] : refused)
        EXPECT_EQ(run("--tests 2 --out " + out + args, "graph-render").first, status) << args;
    EXPECT_EQ(run("--tests 2 --out " + path("chart.gif"), "graph-render").first, 2);
    EXPECT_EQ(run("--tests 2 --view polar --out " + out, "graph-render").first, 2);
}

TEST_F(CliGraph, RenderWritesEveryViewInTheFormatItsSuffixNames)
{
    const std::pair<const char*, std::string> formats[] = {
        {"bmp", "BM"}, {"png", "\x89PNG"}, {"svg", "<?xml"}};
    for (const char* view : {"bode", "nyquist", "nichols"}) {
        for (const auto& [suffix, magic] : formats) {
            const std::string name = std::string(view) + "." + suffix;
            const auto r =
                run("--tests 1,2,3 --margins --view " + std::string(view) + " --out " + path(name),
                    "graph-render");
            ASSERT_EQ(r.first, 0) << name << read_file("err.txt");
            EXPECT_EQ(read_file(name).substr(0, magic.size()), magic) << name;
        }
    }
}
#endif

} // namespace

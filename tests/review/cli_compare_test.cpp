// tarvelo2-cli db-compare, run as a child process: on tests stored by hand,
// and on sweeps of the simulated instrument whose device moves one pole.
#include "../db/db_form_support.h"
#include "tests/support/build_path.h"
#include "tests/support/sim_process.h"
#include "tests/support/winding_curves.h"

#include <cmath>
#include <cstdio>
#include <iterator>
#include <sys/wait.h>

namespace {

class CliCompare : public db_fixture {
protected:
    void SetUp() override
    {
        db_fixture::SetUp();
        create();
        s_session session;
        session.Name = "Plant";
        ASSERT_EQ(db_save_session(session, false), 0);
    }

    void store(const char* name, double f0, double f1, int n, double fl, double offset)
    {
        s_test test;
        test.SessionNo = 1;
        test.Name = name;
        test.Winding = "HV";
        for (int i = 0; i < n; ++i) {
            const double f = f0 * std::pow(f1 / f0, double(i) / (n - 1));
            const s_test_point p{f, winding_db(f, fl) + offset, 0};
            test_add_point(test, &p);
        }
        ASSERT_TRUE(db_store_test(test));
    }

    struct result {
        int status = -1;
        std::string out;
        std::string err;
    };
    result run(const std::string& args)
    {
        const std::string cmd = std::string(TARVELO_CLI) + " " + args + " 2>" + dir + "/err.txt";
        result r;
        FILE* p = ::popen(cmd.c_str(), "r");
        char buf[4096];
        for (size_t n; p && (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
            r.out.append(buf, n);
        const int status = p ? ::pclose(p) : -1;
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::ifstream err(dir + "/err.txt");
        r.err.assign(std::istreambuf_iterator<char>(err), {});
        return r;
    }
    result compare(const std::string& keys)
    {
        return run("db-compare --db " + path("tests.db") + " " + keys);
    }

    // The value of the line "name\t..." in the n-th block (from 0).
    static std::string field(const std::string& out, const std::string& name, int n = 0)
    {
        size_t at = 0;
        for (int i = 0; i <= n; ++i) {
            at = out.find(name + "\t", i == 0 ? 0 : at + 1);
            if (at == std::string::npos)
                return {};
        }
        const size_t from = at + name.size() + 1;
        return out.substr(from, out.find('\n', from) - from);
    }
};

// The device: H(s) = 1 / ((s^2/w1^2 + s/(Q w1) + 1)(s^2/w2^2 + s/(Q w2) + 1)),
// in the simulator's form (coefficients of s, highest power first).
std::string resonances_dut(double f1, double f2, double q)
{
    const double w1 = 2 * M_PI * f1, w2 = 2 * M_PI * f2;
    const double a[] = {1 / (w1 * w1 * w2 * w2), 1 / (w1 * w1 * q * w2) + 1 / (q * w1 * w2 * w2),
                        1 / (w1 * w1) + 1 / (w2 * w2) + 1 / (q * q * w1 * w2),
                        1 / (q * w1) + 1 / (q * w2), 1};
    char text[256];
    std::snprintf(text, sizeof text, "num=1;den=%.17g,%.17g,%.17g,%.17g,%.17g", a[0], a[1], a[2],
                  a[3], a[4]);
    return text;
}

int severity(const std::string& judgement)
{
    const char* const order[] = {"Normal winding", "Slight deformation", "Obvious deformation",
                                 "Severe deformation"};
    for (int i = 0; i < 4; ++i)
        if (judgement.rfind(order[i], 0) == 0)
            return i;
    return -1;
}

} // namespace

TEST_F(CliCompare, OneBlockPerTestAndTheRefusals)
{
    store("New", 1e3, 1e6, 600, 20e3, 0);      // 1: reference
    store("Shifted", 1e3, 1e6, 600, 20e3, -2); // 2: 2 dB lower
    store("Narrow", 1e3, 90e3, 80, 21e3, 0);   // 3: the low band only
    store("Mains", 10, 500, 50, 20e3, 0);      // 4: nothing in common
    store("Tail", 60e3, 1e6, 200, 26e3, 0);    // 5: the low band's last tenth
    db_close();
    const result ok = compare("1 2 3");
    ASSERT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(ok.out.substr(0, ok.out.find("correlation")),
              "test\tShifted\nR_LF\t10.00\nR_MF\t10.00\nR_HF\t10.00\n"
              "judgement\tNormal winding (indicative)\n")
        << ok.out;
    EXPECT_EQ(field(ok.out, "mean abs difference dB"), "2.000");
    EXPECT_EQ(field(ok.out, "test", 1), "Narrow");
    EXPECT_EQ(field(ok.out, "R_MF", 1), "not covered");
    EXPECT_EQ(field(ok.out, "R_HF", 1), "not covered");
    EXPECT_NE(field(ok.out, "judgement", 1).find("(indicative; from R_LF)"), std::string::npos);
    const result tail = compare("1 5");
    ASSERT_EQ(tail.status, 0) << tail.err;
    EXPECT_EQ(field(tail.out, "R_LF"), "partly covered (10 %)");
    EXPECT_EQ(field(tail.out, "judgement"), "Normal winding (indicative; from R_MF, R_HF)");

    const result partly = compare("1 4 2");
    EXPECT_EQ(partly.status, 1);
    EXPECT_NE(partly.err.find("Mains shares too little frequency range with New"),
              std::string::npos)
        << partly.err;
    EXPECT_EQ(field(partly.out, "test"), "Shifted"); // the others are still judged

    const struct {
        const char* keys;
        int status;
    } refused[] = {{"1", 2}, {"1 x", 2}, {"0 1", 2}, {"1 99", 1}};
    for (const auto& c : refused) {
        const result r = compare(c.keys);
        EXPECT_EQ(r.status, c.status) << c.keys;
        EXPECT_NE(r.err.find(c.status == 2 ? "needs the test numbers" : "no test 99"),
                  std::string::npos)
            << r.err;
    }
    EXPECT_EQ(run("db-compare 1 2").status, 1); // no --db
}

TEST_F(CliCompare, SimulatedPoleMovesWorsenTheJudgementMonotonically)
{
    db_close();
    const double moves[] = {0, 0.02, 0.10, 0.30};
    for (const double move : moves) {
        sim_process sim({"--tcp", "127.0.0.1:0", "--time-scale", "0", "--fra-dut",
                         resonances_dut(20e3 * (1 + move), 300e3, 8)});
        ASSERT_GT(sim.tcp_port(), 0);
        const std::string link = "--lan 127.0.0.1 --port " + std::to_string(sim.tcp_port()) + " ";
        for (const char* set :
             {"config-set 19 1.0000E3", "config-set 20 1.0000E6", "config-set 18 300"})
            ASSERT_EQ(run(link + set).status, 0) << set;
        const result sweep =
            run(link + "fra-sweep --data " + dir + " --db " + path("tests.db") +
                " --session Plant --winding HV --test M" + std::to_string(int(move * 100)));
        ASSERT_EQ(sweep.status, 0) << sweep.err;
    }
    const result r = compare("1 2 3 4");
    ASSERT_EQ(r.status, 0) << r.err;
    double last_r = 11;
    int last_severity = 0;
    for (int i = 0; i < 3; ++i) {
        const double r_lf = std::atof(field(r.out, "R_LF", i).c_str());
        const int s = severity(field(r.out, "judgement", i));
        std::printf("pole moved %s: R_LF %s, %s\n", field(r.out, "test", i).c_str(),
                    field(r.out, "R_LF", i).c_str(), field(r.out, "judgement", i).c_str());
        EXPECT_LT(r_lf, last_r) << i;
        EXPECT_GE(s, last_severity) << i;
        last_r = r_lf;
        last_severity = s;
    }
    EXPECT_GT(last_severity, severity(field(r.out, "judgement", 0)));
}

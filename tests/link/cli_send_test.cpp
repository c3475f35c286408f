// tarvelo2-cli send, run as a child process against a loopback peer.

#include "tests/link/peers.h"
#include "tests/support/build_path.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>

namespace fs = std::filesystem;

namespace {

struct cli_result {
    int status = -1;
    std::string out;
    std::string err;
};

std::string slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class CliSend : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tarvelo-cli-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder = pattern;
    }
    void TearDown() override { fs::remove_all(folder); }

    cli_result run(const std::string& args)
    {
        const std::string command =
            std::string(TARVELO_CLI) + " " + args + " 2>" + (folder / "stderr").string();
        cli_result r;
        FILE* pipe = ::popen(command.c_str(), "r");
        char chunk[256];
        size_t n = 0;
        while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0)
            r.out.append(chunk, n);
        const int status = ::pclose(pipe);
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.err = slurp(folder / "stderr");
        return r;
    }

    fs::path folder;
};

} // namespace

TEST_F(CliSend, PrintsEveryReplyLineAndLogsTheExchange)
{
    tcp_peer peer;
    std::string request;
    std::thread instrument([&] {
        ASSERT_TRUE(peer.accept_link());
        request = peer.read_exact(9);
        peer.write("Quellmarsh,HXM4100,SN7,1.0\r\nsecond line\r\n");
        peer.read_some(2000);
    });
    const cli_result r = run("--lan 127.0.0.1 --port " + std::to_string(peer.port()) +
                             " --timeout 300 --log " + folder.string() + " send '*IDN?'");
    instrument.join();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(request, std::string("\x14\0*IDN?\n\0", 9));
    EXPECT_EQ(r.out, "Quellmarsh,HXM4100,SN7,1.0\nsecond line\n");
    const std::string log = slurp(folder / "TARVELO2_COMMS.log");
    EXPECT_NE(log.find("(00002) [serial:unknown] >>\t*IDN?\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("(00003) [serial:unknown] <<\tQuellmarsh,HXM4100,SN7,1.0\r\n"),
              std::string::npos);
}

TEST_F(CliSend, UnreachableInstrumentIsReportedOnStderr)
{
    int port = 0;
    {
        tcp_peer closed;
        port = closed.port();
    }
    const cli_result r = run("--lan 127.0.0.1 --port " + std::to_string(port) + " send x");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "[Tarvelo2] Failed to connect to IP address 127.0.0.1\n");
    EXPECT_EQ(run("send").status, 2);
}

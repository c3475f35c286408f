#pragma once
// What a command that fails must leave behind in its folder: every test
// database as whole as before (its PRAGMA integrity_check and its row counts
// unchanged: "ok" stays "ok" and no row is lost), every other file as it was,
// no new file but those the failure is meant to keep (a sweep file for a
// later import), and a non-zero exit whose message is "[caption] text".
// The databases are read with the sqlite3 program, so a test needs no
// library of its own for this.

#include "tests/support/cli_run.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <string>

class folder_before {
public:
    // The state of folder now; files named in ignored (what the test itself
    // writes there, such as the command's captured messages) are not looked at.
    explicit folder_before(std::string folder, std::set<std::string> ignored = {"err.txt"})
        : folder_(std::move(folder)), ignored_(std::move(ignored)), state_(read_state())
    {
    }

    // Passes when r failed and left the folder as described above; kept
    // names the files the failure may add.
    ::testing::AssertionResult failed_cleanly(const cli_output& r,
                                              const std::set<std::string>& kept = {}) const
    {
        static const std::regex message(R"(^\[[^\]\n]+\] [^\n])");
        if (r.status == 0)
            return ::testing::AssertionFailure() << "exit status 0";
        if (!std::regex_search(r.err, message) || r.err.find("tarvelo2-cli:") != std::string::npos)
            return ::testing::AssertionFailure() << "no \"[caption] text\" message:\n" << r.err;
        const std::map<std::string, std::string> after = read_state();
        for (const auto& [name, state] : state_) {
            const auto it = after.find(name);
            if (it == after.end())
                return ::testing::AssertionFailure() << name << " is gone";
            if (it->second != state)
                return ::testing::AssertionFailure()
                       << name << " changed:\nbefore " << state << "\nafter  " << it->second;
        }
        for (const auto& [name, state] : after)
            if (!state_.count(name) && !kept.count(name))
                return ::testing::AssertionFailure() << name << " was left behind";
        return ::testing::AssertionSuccess();
    }

private:
    // Per file: a database's integrity check and row counts, any other
    // file's bytes.
    std::map<std::string, std::string> read_state() const
    {
        std::map<std::string, std::string> state;
        for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
            const std::string name = entry.path().filename().string();
            if (ignored_.count(name))
                continue;
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string bytes{std::istreambuf_iterator<char>(in),
                                    std::istreambuf_iterator<char>()};
            state[name] = bytes.rfind(std::string("SQLite format 3\0", 16), 0) == 0
                              ? database_state(entry.path().string())
                              : bytes;
        }
        return state;
    }

    std::string database_state(const std::string& file) const
    {
        const std::string sql = "PRAGMA integrity_check; SELECT (SELECT count(*) FROM Session) "
                                "|| ' ' || (SELECT count(*) FROM Test) || ' ' || (SELECT "
                                "count(*) FROM Data);";
        const cli_output r =
            run_command_line("sqlite3 -readonly '" + file + "' \"" + sql + "\"", "/dev/null");
        return "integrity " + r.out;
    }

    std::string folder_;
    std::set<std::string> ignored_;
    std::map<std::string, std::string> state_;
};

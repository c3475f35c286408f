#pragma once
// Shared pieces of the database tests: a temporary folder per test, a
// recording user interface, and sinks that collect list rows.

#include "base/ui_seam.h"
#include "db/db_connection.h"
#include "db/db_sinks.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

class db_fixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tarvelo-db-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        ui_set_backend(&ui);
        db_close();
        db_set_current_path({});
    }

    void TearDown() override
    {
        db_close();
        ui_set_backend(nullptr);
        std::filesystem::remove_all(dir);
    }

    std::string path(const std::string& name) const { return dir + "/" + name; }

    void write_file(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }

    std::string read_file(const std::string& name) const
    {
        std::ifstream in(path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // Creates a new database file and leaves it open.
    void create(const std::string& name = "tests.db")
    {
        bool is_new = false;
        ASSERT_TRUE(db_open(path(name), DB_OPEN_OR_CREATE, &is_new));
        ASSERT_TRUE(is_new);
    }

    std::string dir;
    scripted_ui ui;
};

struct collected_rows : db_row_sink {
    std::vector<std::string> texts;
    std::vector<int64_t> keys;
    void add_row(const std::string& text, int64_t key) override
    {
        texts.push_back(text);
        keys.push_back(key);
    }
};

struct collected_texts : db_text_sink {
    std::vector<std::string> texts;
    void add_text(const std::string& text) override { texts.push_back(text); }
};

#include <sqlite3.h>

// Rows of a query on a second, independent connection to the file; each
// value as text ("NULL" for null).
inline std::vector<std::vector<std::string>> raw_query(const std::string& file,
                                                       const std::string& sql)
{
    std::vector<std::vector<std::string>> rows;
    sqlite3* handle = nullptr;
    if (sqlite3_open_v2(file.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(handle, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK) {
            while (sqlite3_step(stmt) == SQLITE_ROW) {
                std::vector<std::string> row;
                for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                    const auto* text = sqlite3_column_text(stmt, c);
                    row.push_back(text ? reinterpret_cast<const char*>(text) : "NULL");
                }
                rows.push_back(row);
            }
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(handle);
    return rows;
}

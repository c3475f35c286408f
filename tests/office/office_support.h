#pragma once
// A temporary reports folder, a recording user interface and opener, and
// the workbook reader (openpyxl) of the office tests.

#include "base/ui_seam.h"
#include "office/excel_server.h"
#include "office/ole.h"
#include "office/word_server.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include <vector>

class office_fixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tarvelo-office-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        ui_set_backend(&ui);
        office_set_reports_folder(dir + "/reports");
        office_set_opener([this](const std::string& path) { opened.push_back(path); });
        ole_register_defaults();
    }
    void TearDown() override
    {
        office_set_opener(nullptr);
        ui_set_backend(nullptr);
        std::filesystem::remove_all(dir);
    }

    // Every fact of the workbook by key: "cell\tSheet\tA1" gives the rest of
    // its line split at tabs; likewise "merge\tSheet\tA1:B2", "width\tSheet\tC".
    std::map<std::string, std::vector<std::string>> dump(const std::string& path) const
    {
        std::map<std::string, std::vector<std::string>> facts;
        FILE* pipe =
            ::popen(("/usr/bin/python3 " TARVELO_XLSX_DUMP " '" + path + "'").c_str(), "r");
        if (!pipe)
            return facts;
        char line[4096];
        while (std::fgets(line, sizeof line, pipe)) {
            std::vector<std::string> fields;
            std::istringstream in(std::string(line).substr(0, std::string(line).find('\n')));
            for (std::string f; std::getline(in, f, '\t');)
                fields.push_back(f);
            const size_t key_fields =
                fields[0] == "sheet" || fields[0] == "active" || fields[0] == "order" ? 2 : 3;
            std::string key;
            for (size_t i = 0; i < key_fields && i < fields.size(); ++i)
                key += (i ? "\t" : "") + fields[i];
            facts[key] = std::vector<std::string>(
                fields.begin() + static_cast<long>(std::min(key_fields, fields.size())),
                fields.end());
        }
        ::pclose(pipe);
        return facts;
    }

    std::string dir;
    scripted_ui ui;
    std::vector<std::string> opened;
};

// Fields of a cell fact.
enum {
    CELL_TYPE,
    CELL_VALUE,
    CELL_FORMAT,
    CELL_BOLD,
    CELL_SIZE,
    CELL_FILL,
    CELL_BORDERS,
    CELL_HALIGN,
    CELL_QUOTE
};

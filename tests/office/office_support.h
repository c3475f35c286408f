#pragma once
// A temporary reports folder, a recording user interface and opener, and
// the workbook reader (openpyxl) of the office tests.

#include "base/ui_seam.h"
#include "base/ui_status.h"
#include "office/excel_server.h"
#include "office/ole.h"
#include "office/word_server.h"
#include "tests/support/build_path.h"
#include "tests/support/zip_entry.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include <vector>
#include <zip.h>

// The members of a workbook that hold a formula cell ("<f>" or "<f ...>");
// a report writes none, whatever its texts look like.
inline std::vector<std::string> members_with_formulas(const std::string& archive)
{
    std::vector<std::string> found;
    for (const std::string& name : zip_names(archive)) {
        const std::string xml = zip_entry(archive, name);
        if (xml.find("<f>") != std::string::npos || xml.find("<f ") != std::string::npos)
            found.push_back(name);
    }
    return found;
}

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
        office_set_destination(nullptr);
        ui_set_status_sink(nullptr);
        ui_set_backend(nullptr);
        std::filesystem::remove_all(dir);
    }

    // Every fact of the workbook by key: "cell\tSheet\tA1" gives the rest of
    // its line split at tabs; likewise "merge\tSheet\tA1:B2", "width\tSheet\tC".
    // Every workbook read this way is also scanned for formula cells.
    std::map<std::string, std::vector<std::string>> dump(const std::string& path) const
    {
        EXPECT_EQ(members_with_formulas(path), std::vector<std::string>{}) << path;
        std::map<std::string, std::vector<std::string>> facts;
        FILE* pipe = ::popen(
            (std::string("/usr/bin/python3 ") + TARVELO_XLSX_DUMP + " '" + path + "'").c_str(),
            "r");
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

// A cell as the workbook's XML holds it: "n" for a number, "s" for a shared
// or inline string (with its text unescaped), "" when the sheet has no such
// cell. member is the sheet's part, "xl/worksheets/sheet1.xml".
struct s_xml_cell {
    std::string kind, text;
};

inline std::string xml_unescape(std::string_view in)
{
    static const std::pair<std::string_view, char> entities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string out;
    for (size_t i = 0; i < in.size();) {
        bool replaced = false;
        for (const auto& [entity, c] : entities)
            if (in.substr(i, entity.size()) == entity) {
                out += c;
                i += entity.size();
                replaced = true;
                break;
            }
        if (!replaced)
            out += in[i++];
    }
    return out;
}

// The text of every <t> element inside xml, joined.
inline std::string xml_texts(std::string_view xml)
{
    std::string text;
    for (size_t at = xml.find("<t"); at != std::string_view::npos; at = xml.find("<t", at + 1)) {
        if (xml.substr(at, 3) != "<t>" && xml.substr(at, 3) != "<t ")
            continue;
        const size_t open = xml.find('>', at) + 1;
        text += xml_unescape(xml.substr(open, xml.find("</t>", open) - open));
    }
    return text;
}

inline s_xml_cell xml_cell(const std::string& archive, const std::string& member,
                           const std::string& ref)
{
    const std::string sheet = zip_entry(archive, member);
    const size_t at = sheet.find("<c r=\"" + ref + "\"");
    if (at == std::string::npos)
        return {};
    const size_t head_end = sheet.find('>', at);
    const std::string_view head(sheet.data() + at, head_end - at);
    if (head.back() == '/')
        return {};
    const size_t end = sheet.find("</c>", head_end);
    const std::string_view body(sheet.data() + head_end + 1, end - head_end - 1);
    const auto value = [&] {
        const size_t v = body.find("<v>");
        return v == std::string_view::npos
                   ? std::string()
                   : std::string(body.substr(v + 3, body.find("</v>") - v - 3));
    };
    if (head.find("t=\"inlineStr\"") != std::string_view::npos)
        return {"s", xml_texts(body)};
    if (head.find("t=\"s\"") != std::string_view::npos) {
        const std::string shared = zip_entry(archive, "xl/sharedStrings.xml");
        size_t si = 0;
        for (long n = std::stol(value()); n >= 0; --n)
            si = shared.find("<si>", si) + 4;
        return {"s", xml_texts(std::string_view(shared).substr(si, shared.find("</si>", si) - si))};
    }
    if (head.find("t=\"str\"") != std::string_view::npos)
        return {"f", value()};
    return {"n", value()};
}

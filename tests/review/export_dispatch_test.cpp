#include "base/ui_seam.h"
#include "config/hxm_cfg_4100.h"
#include "fra/fra_export_dispatch.h"
#include "link/link.h"
#include "office/excel_server.h"
#include "review/tests_export.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

class FraExportDispatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tarvelo-dispatch-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        ui_set_backend(&ui);
        office_set_reports_folder(dir + "/reports");
        office_set_opener([this](const std::string& path) { opened.push_back(path); });
        results.count = 2;
        results.points[0].v[0] = 10;
        results.points[1].v[0] = 20;
        request.results = &results;
        request.header = {&cfg, &link, {}};
        request.data_folder = dir;
    }
    void TearDown() override
    {
        office_set_opener(nullptr);
        ui_set_backend(nullptr);
        fs::remove_all(dir);
    }
    std::vector<std::string> texts() const
    {
        std::vector<std::string> out;
        for (const auto& box : ui.shown())
            out.push_back(box.text);
        return out;
    }

    std::string dir;
    scripted_ui ui;
    std::vector<std::string> opened;
    hxm_cfg_4100 cfg;
    s_link link;
    FraResults results;
    s_export_request request;
};

TEST_F(FraExportDispatch, EachSourceAndTargetReachesItsExport)
{
    request.choice.excel = false;
    ui.push_file_cancel();
    EXPECT_EQ(fra_export_run(nullptr, request), -1);
    ui.push_file(dir + "/single"); // the default suffix is added
    EXPECT_EQ(fra_export_run(nullptr, request), 0);
    EXPECT_TRUE(fs::exists(dir + "/single.txt"));
    ui.push_file(dir + "/single.txt"); // exists: the overwrite is refused
    EXPECT_EQ(fra_export_run(nullptr, request), -1);
    request.choice.excel = true;
    EXPECT_EQ(fra_export_run(nullptr, request), 0);
    EXPECT_EQ(opened.size(), 1u);
    request.repeat_count = 3; // a series set up but cleared: nothing to export
    EXPECT_EQ(fra_export_run(nullptr, request), -1);
    request.choice.excel = false;
    EXPECT_EQ(fra_export_run(nullptr, request), -1);
    request.mode = EXPORT_MODE_DATABASE;
    EXPECT_EQ(review_export_tests(nullptr, request), -1);
    request.test_keys.assign(10, 1);
    EXPECT_EQ(review_export_tests(nullptr, request), -1);
    const std::vector<std::string> expected = {
        "Unable to create CSV file",
        dir + "/single.txt already exists.\nDo you want to replace it?",
        "No Data to Export",
        "No Data to Export",
        "Please add some tests to export",
        "Please add some tests to export"};
    EXPECT_EQ(texts(), expected);
    EXPECT_EQ(ui.file_requests().at(0).filters, "Text File (*.txt)");
    EXPECT_EQ(ui.file_requests().at(0).default_suffix, "txt");
}

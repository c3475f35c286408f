// Print, Print Preview and Export PDF from every window that shows results,
// reached from the main window: the FRA test report printed through the
// system's print dialog onto a real CUPS queue and read back, previewed and
// exported; the comparison report of the graph dialog; the component
// reports of the LCR and piezo windows.

#include "tests/journeys/fra_journey.h"
#include "tests/journeys/mode_journey.h"
#include "tests/support/pdf_tools.h"
#include "tests/support/print_server.h"

#include <iostream>

namespace fs = std::filesystem;

namespace {

void expect_contains(const std::string& text, const std::vector<std::string>& wanted,
                     const std::string& what)
{
    for (const std::string& w : wanted)
        EXPECT_NE(text.find(w), std::string::npos) << what << " lacks \"" << w << "\":\n" << text;
}

} // namespace

class print_journey : public fra_journey {
protected:
    // File > Export PDF... of the window titled title ("" the main window),
    // answered with file; the PDF's text once it is there.
    std::string export_pdf(const fs::path& file, const std::string& title = "")
    {
        test_ui().push_file(file.string());
        menu({"File", "Export PDF..."}, title);
        await_dialog("");
        EXPECT_TRUE(wait_for([&] { return fs::exists(file); })) << file << " not written";
        return pdf_text(file);
    }
};

TEST_F(print_journey, FraReportIsPrintedPreviewedAndExportedAndTheGraphReportsTheComparison)
{
    // Before the program starts, so that its print dialog finds the queue.
    print_server cups;
    if (!cups.running())
        std::cout << "Printing through CUPS is not tried: " << cups.failure() << std::endl;
    std::string fra, compare;
    run("HXM4100", [&] {
        connect_to_instrument();
        start_sweep(0, "Loop A", "Bench A");
        ASSERT_TRUE(sweep_ended());
        fra = export_pdf(dir() / "loop a.pdf");

        menu({"File", "Print Preview"});
        await_dialog("Print Preview");
        screenshot("fra_preview");
        key(Qt::Key_Escape);
        await_dialog("");

        if (cups.running()) {
            key(Qt::Key_P, Qt::ControlModifier);
            await_dialog("Print");
            screenshot("print_dialog");
            click("Print");
            await_dialog("");
        }

        click_id(FRA_SWEEP); // CLEAR
        start_sweep(0, "Loop B with a name long enough to be shortened in a legend");
        ASSERT_TRUE(sweep_ended());
        ASSERT_TRUE(select_stored_tests(
            "Bench A", {"Loop A", "Loop B with a name long enough to be shortened in a legend"}));
        click("Graph Selected Tests");
        await_window("Graph");
        compare = export_pdf(dir() / "compare.pdf", "Graph");
    });
    expect_contains(fra, {"Loop A", "Bench A", "Gain margin", "Phase margin", "page 1 of"},
                    "the FRA report");
    expect_contains(compare,
                    {"Loop A", "Loop B with a name long enough to be shortened in a legend",
                     "Margins", "Difference view", "Reference"},
                    "the comparison report");
    if (cups.running()) {
        const std::string printed = cups.printed("Loop");
        ASSERT_EQ(printed.rfind("%PDF", 0), 0u) << cups.failure();
        expect_contains(pdf_text_of_bytes(printed, dir() / "printed.pdf"), {"Loop A", "Gain margin"},
                        "the printed FRA report");
    }
}

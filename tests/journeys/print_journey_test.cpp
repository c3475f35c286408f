// Print, Print Preview and Export PDF from every window that shows results,
// reached from the main window: the FRA test report printed through the
// system's print dialog onto a real CUPS queue and read back, previewed and
// exported; the comparison report of the graph dialog; the component
// reports of the LCR and piezo windows. The first pages of the FRA and
// comparison reports are the guide's pictures of them.

#include "tests/journeys/fra_journey.h"
#include "tests/journeys/mode_journey.h"
#include "tests/support/pdf_tools.h"
#include "tests/support/print_server.h"

#include <QPrintPreviewWidget>
#include <iostream>

namespace fs = std::filesystem;

namespace {

constexpr int LCR_SWEEP = 14707;
constexpr int PIEZO_START = 15241;
const char* const LCR_CHART = "QXTarvelo2LCRResultsWClass";
const char* const FRA_CHART = "QXTarvelo2FRAResultsWClass";

void expect_contains(const std::string& text, const std::vector<std::string>& wanted,
                     const std::string& what)
{
    for (const std::string& w : wanted)
        EXPECT_NE(text.find(w), std::string::npos) << what << " lacks \"" << w << "\":\n" << text;
}

} // namespace

// File > Export PDF... in a journey of the FRA or the other modes.
template <class Journey> class printing : public Journey {
protected:
    // File > Export PDF... of the window titled title ("" the main window),
    // answered with file; the PDF's text once it is there.
    std::string export_pdf(const fs::path& file, const std::string& title = "")
    {
        test_ui().push_file(file.string());
        this->menu({"File", "Export PDF..."}, title);
        this->await_dialog("");
        if (!this->wait_for([&] { return fs::exists(file); })) {
            std::string shown;
            for (const ui_shown_box& b : this->boxes())
                shown += "\n" + b.text;
            ADD_FAILURE() << file << " not written; boxes:" << shown;
        }
        return pdf_text(file);
    }

    // The sweep's results are the window's once its chart reads them out.
    bool swept(const char* chart)
    {
        return this->wait_for(
            [&] {
                const std::vector<s_chart_text> texts = this->painted_texts(chart);
                return std::any_of(texts.begin(), texts.end(), [](const s_chart_text& t) {
                    return t.text.startsWith(QStringLiteral("Frequency: "));
                });
            },
            60000);
    }
};

class print_journey : public printing<fra_journey> {};
class print_modes_journey : public printing<mode_journey> {};

TEST_F(print_journey, GuideReportsArePrintedPreviewedAndExported)
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
        ASSERT_TRUE(swept(FRA_CHART));
        fra = export_pdf(dir() / "loop a.pdf");
        page_picture(dir() / "loop a.pdf", 1, "report_fra");

        menu({"File", "Print Preview"});
        await_dialog("Print Preview");
        // The pages are painted off the window thread; the preview shows
        // them once they are all there.
        ASSERT_TRUE(wait_for([] {
            auto* dialog = QApplication::activeModalWidget();
            auto* pages = dialog ? dialog->findChild<QPrintPreviewWidget*>() : nullptr;
            return pages && pages->pageCount() > 0;
        }));
        screenshot("fra_preview");
        click("Close");
        await_dialog("");

        if (cups.running()) {
            menu({"File", "Print..."});
            await_dialog("Print");
            screenshot("print_dialog");
            click("Print");
            await_dialog("");
        }

        click_id(FRA_SWEEP); // CLEAR
        start_sweep(0, "Loop B after the transformer was moved");
        ASSERT_TRUE(sweep_ended());
        ASSERT_TRUE(
            select_stored_tests("Bench A", {"Loop A", "Loop B after the transformer was moved"}));
        click("Graph Selected Tests");
        await_window("Graph");
        compare = export_pdf(dir() / "compare.pdf", "Graph");
        page_picture(dir() / "compare.pdf", 1, "report_compare");
    });
    expect_contains(fra, {"Loop A", "Bench A", "Gain margin", "Phase margin", "page 1 of"},
                    "the FRA report");
    expect_contains(compare,
                    {"Loop A", "Loop B after the transformer was moved", "Margins",
                     "Difference view", "Reference"},
                    "the comparison report");
    if (cups.running()) {
        const std::string printed = cups.printed("Report");
        ASSERT_EQ(printed.rfind("%PDF", 0), 0u) << cups.failure();
        // The queue's driver draws the text anew: the pages are compared.
        std::ofstream(dir() / "printed.pdf", std::ios::binary) << printed;
        EXPECT_GT(pdf_pages(dir() / "loop a.pdf"), 0);
        EXPECT_EQ(pdf_pages(dir() / "printed.pdf"), pdf_pages(dir() / "loop a.pdf"));
    }
}

// The LCR and piezo windows' component reports, and a mode with nothing to
// print saying so instead of writing an empty report. The piezo window's
// values and its fitted model stand in its report as the window shows them.
TEST_F(print_modes_journey, ComponentReportsOfTheLcrAndPiezoWindows)
{
    std::string lcr, piezo;
    std::vector<std::string> values;
    run("HXM6300", [&] {
        connect_to_instrument();
        enter_mode("LCR", LCR_SWEEP);
        const size_t before = boxes().size();
        menu({"File", "Print Preview"});
        ASSERT_TRUE(wait_for([&] { return boxes().size() > before; }));
        EXPECT_EQ(box_after(before).text, "The LCR mode has no sweep to print yet.");

        start_single_sweep(LCR_SWEEP);
        ASSERT_TRUE(wait_for([&] { return control_text(LCR_SWEEP) == "CLEAR"; }));
        ASSERT_TRUE(this->swept(LCR_CHART));
        lcr = export_pdf(dir() / "lcr.pdf");
        click_id(LCR_SWEEP); // CLEAR

        enter_mode("Piezo", PIEZO_START);
        ASSERT_TRUE(piezo_analysed()) << "no analysis shown";
        for (const char* v : {"R", "L", "C", "Cp"})
            values.push_back(field_text(v));
        piezo = export_pdf(dir() / "piezo.pdf");
    });
    expect_contains(lcr, {"Component", "page 1 of"}, "the LCR report");
    // The resonator the window fits over the whole sweep stands beside them.
    values.insert(values.end(), {"Fitted model", "Resonator (R, L, C, Cp)", "Residual"});
    expect_contains(piezo, values, "the piezo report");
}

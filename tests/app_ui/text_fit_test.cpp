// Every text of every window fits its control at the interface font: the
// control tables, both models' configuration pages with every row and every
// page title, and the dialogs. A new window joins with one line in
// DIALOGS or, for a mode window, by registering in start().

#include "app/ui/about_dialog.h"
#include "app/ui/main_window.h"
#include "base/command_ids.h"
#include "base/ui/control_windows.h"
#include "base/ui/fit_font.h"
#include "base/ui/mode_windows.h"
#include "base/ui/print_actions.h"
#include "base/ui/progress_dialog.h"
#include "config/config_current.h"
#include "config/ui/config_pages.h"
#include "config/ui/config_window.h"
#include "db/ui/session_details_dialog.h"
#include "db/ui/test_details_dialog.h"
#include "fra/ui/fra_window.h"
#include "lcr/lcr_details.h"
#include "lcr/ui/fit_panel.h"
#include "lcr/ui/lcr_results_view.h"
#include "lcr/ui/lcr_window.h"
#include "lcr/ui/piezo_window.h"
#include "link/link.h"
#include "link/ui/connect_dialog.h"
#include "link/ui/instrument_chooser.h"
#include "review/ui/assessment_window.h"
#include "review/ui/compare_box.h"
#include "sweep/ui/verdict_panel.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/text_fit.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPrinter>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>

namespace {

std::string joined(const std::vector<std::string>& lines)
{
    std::string all;
    for (const std::string& l : lines)
        all += "\n  " + l;
    return all;
}

class TextFit : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensure_qt_app();
        g_link = s_link{};
        set_mode_window_factory("QXTarvelo2ConfigWClass", make_config_window);
        fra_register_windows();
        lcr_register_windows();
        piezo_register_windows();
    }
    void TearDown() override
    {
        w.reset();
        g_link = s_link{};
        config_select(instrument_caps_of(0));
    }

    void start(int type_code)
    {
        link_set_type(g_link, type_code);
        config_select(g_link.caps);
        prepare_test_settings((dir / "data").string());
        w = std::make_unique<main_window>((dir / "data").string(), dir.str());
        w->show();
        // A mode's windows are built when it is first shown: each is
        // visited once, the database view last, and back to FRA.
        for (const int id : {CMD_MODE_LCR, CMD_MODE_PIEZO, CMD_MODE_CAPTURE, CMD_MODE_FRA}) {
            post_command(w.get(), id);
            pump();
        }
        click(CMD_DATABASE);
        click(CMD_MEASURE);
        panel()->setEnabled(true);
        pump();
    }
    config_window* panel() { return static_cast<config_window*>(w->mode_window(ROW_CONFIG)); }
    // The LCR window's bench panels hold their longest texts: a resonator's
    // fit with its resonances and a failed part's verdict.
    void fill_bench_panels()
    {
        auto* view = w->findChild<lcr_results_view*>();
        ASSERT_TRUE(view);
        static circuit_fit fit;
        fit = circuit_fit{};
        fit.model = circuit_model::resonator;
        for (const char* e : {"R", "L", "C", "Cp"})
            fit.elements.push_back({e, -888.88e-12, 888.88e-12, "Ohm"});
        fit.residual = 0.0123;
        fit.fr = fit.fa = 88888.8;
        fit.q = 88888.8;
        view->fit()->show_fit(&fit);
        s_test_verdict failed;
        failed.bin = 88;
        failed.bin_name = "Grade B";
        failed.failed = {"fitted R (R-L series): 104.68 Ohm, outside 100.00 Ohm \xB1 3 %"};
        view->verdict()->show_verdict(&failed);
    }
    void click(int id)
    {
        post_click(id);
        pump();
    }

    // Opens every page the panel has (building each page's rows, all of
    // them, whichever the present configuration shows) and every operating
    // mode's page title, measuring the title each time.
    void visit_every_page(s_text_fit_report& report)
    {
        const QWidget* title = control_by_id(13001);
        for (int button = 13002; button <= 13012; ++button) {
            if (config_page_of_button(button) < 0)
                continue;
            click(button);
            check_text_fit(title, report);
            click(13014); // Advanced Acquisition, Input 3
            check_text_fit(title, report);
        }
        for (int mode = 0; mode < config_mode_count(panel_model()); ++mode) {
            config_current().set_int(PARAM_OPERATING_MODE, mode);
            panel()->rebuild_page();
            check_text_fit(title, report);
        }
    }
    int panel_model() const
    {
        return g_link.caps.config_model == caps_config_model::three_channel ? PANEL_THREE_CHANNEL
                                                                            : 0;
    }

    temp_folder dir{"tarvelo_text_fit"};
    std::unique_ptr<main_window> w;
};

TEST_F(TextFit, EveryControlOfTheTablesAndBothModelsPagesFits)
{
    for (int type_code : {7, 9}) {
        start(type_code);
        // The LCR window, its results view and the piezo window are measured too.
        for (const int id : {CMD_LCR_SWEEP, CMD_LCR_LEFT_QUANTITY, CMD_PIEZO_START})
            ASSERT_TRUE(control_by_id(id)) << id;
        s_text_fit_report report;
        visit_every_page(report);
        fill_bench_panels();
        check_window_text_fit(w.get(), report);
        // And with the window grown to a large screen's size.
        w->resize(1920, 1080);
        ASSERT_TRUE(wait_until([this] { return w->centralWidget()->width() > 1900; }));
        check_window_text_fit(w.get(), report);
        std::cout << "type " << type_code << ": " << report.checked << " texts measured\n";
        EXPECT_GT(report.checked, 150) << type_code;
        EXPECT_TRUE(report.faults.empty()) << "type " << type_code << joined(report.faults);
        w.reset();
    }
}

// Measures a dialog as it first shows.
template <class D, class... A> void check_dialog(s_text_fit_report& report, A&&... args)
{
    D dialog(nullptr, std::forward<A>(args)...);
    dialog.show();
    pump();
    check_window_text_fit(&dialog, report);
}

// Measures the modal box a function opens, then closes it.
void check_modal(s_text_fit_report& report, const std::function<void()>& open)
{
    QTimer::singleShot(0, [&report] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box)
            return;
        check_window_text_fit(box, report);
        box->close();
    });
    open();
}

// A printout of one page with one line, for the preview. (The print dialog
// is the system's own, laid out by Qt's print support.)
s_printout one_line_printout()
{
    s_printout out;
    out.name = "Text fit";
    out.print = [](QPrinter& printer, std::string&) {
        QPainter(&printer).drawText(100, 100, QStringLiteral("Text fit"));
        return true;
    };
    return out;
}

const std::pair<const char*, std::function<void(s_text_fit_report&)>> DIALOGS[] = {
    {"connection",
     [](auto& r) {
         s_link link;
         check_dialog<connect_dialog>(r, link);
     }},
    {"instrument chooser",
     [](auto& r) {
         const std::vector<s_chooser_row> rows{{0, "127.0.0.1\tHXM6300,0123,V2.10"}};
         check_dialog<instrument_chooser>(r, rows);
     }},
    {"session details",
     [](auto& r) {
         s_session s;
         check_dialog<session_details_dialog>(r, s);
     }},
    {"test details",
     [](auto& r) {
         s_test_details t;
         check_dialog<test_details_dialog>(r, t);
     }},
    {"LCR test details",
     [](auto& r) {
         s_test_details t;
         check_dialog<test_details_dialog>(r, t, lcr_details_check_repeat);
     }},
    {"progress",
     [](auto& r) {
         s_progress_block b;
         check_dialog<progress_dialog>(r, b);
     }},
    {"about", [](auto& r) { check_modal(r, [] { show_about_box(nullptr); }); }},
    {"print preview",
     [](auto& r) {
         check_modal(r, [] { print_run(nullptr, print_action::preview, one_line_printout()); });
     }},
    {"transformer assessment", [](auto& r) { check_dialog<assessment_window>(r); }},
    {"winding comparison",
     [](auto& r) {
         check_dialog<graph_compare_box>(r,
                                         s_graph_comparison{"New", {1}, {{"After transport", {}}}});
     }},
};

TEST_F(TextFit, EveryDialogFits)
{
    for (const auto& [name, check] : DIALOGS) {
        s_text_fit_report report;
        check(report);
        EXPECT_GT(report.checked, 0) << name;
        EXPECT_TRUE(report.faults.empty()) << name << joined(report.faults);
    }
}

// The check itself: each kind of control that cannot show its text is
// named, each that can is passed.
TEST_F(TextFit, CheckNamesEveryControlThatCutsItsText)
{
    const QString long_text = QStringLiteral("Frequency Response Analyser");
    const int text_w = QFontMetrics(table_font(0)).horizontalAdvance(long_text);
    QWidget parent;
    parent.setFont(table_font(0));
    auto label = [&](int width, bool wrap) {
        auto* l = new QLabel(long_text, &parent);
        l->setWordWrap(wrap);
        l->setGeometry(0, 0, width, 20);
        return l;
    };
    auto fitted = [&](int width) {
        QLabel* l = label(width, true);
        fit_label_font(l, table_font(0));
        return l;
    };
    auto button = [&](int width) {
        auto* b = new QPushButton(long_text, &parent);
        b->setGeometry(0, 0, width, 27);
        return b;
    };
    auto check = [&](int width) {
        auto* b = new QCheckBox(long_text, &parent);
        b->setGeometry(0, 0, width, 20);
        return b;
    };
    auto group = [&](int width) {
        auto* g = new QGroupBox(long_text, &parent);
        g->setGeometry(0, 0, width, 50);
        return g;
    };
    auto combo = [&](QComboBox* c) {
        c->addItems({QStringLiteral("Off"), long_text});
        c->setGeometry(0, 0, text_w / 2, 23);
        return c;
    };
    const struct {
        const char* what;
        QWidget* control;
        bool fits;
    } cases[] = {
        {"label with room", label(text_w + 2, false), true},
        {"label one pixel short", label(text_w - 1, false), false},
        {"wrapping label, second line cut", label(text_w * 2 / 3, true), false},
        {"label shrunk a little to fit", fitted(text_w * 9 / 10), true},
        {"label shrunk past legibility", fitted(text_w / 2), false},
        {"button with room", button(text_w + 20), true},
        {"button too narrow", button(text_w), false},
        {"check box too narrow", check(text_w), false},
        {"check box with room", check(text_w + 30), true},
        {"group title too long", group(text_w), false},
        {"group title with room", group(text_w + 20), true},
        {"plain list cutting an option", combo(new QComboBox(&parent)), false},
        {"list ending long options with an ellipsis", combo(new eliding_combo(&parent)), true},
    };
    for (const auto& c : cases) {
        s_text_fit_report report;
        check_text_fit(c.control, report);
        EXPECT_EQ(report.checked, 1) << c.what;
        EXPECT_EQ(report.faults.empty(), c.fits) << c.what << joined(report.faults);
    }
}

TEST_F(TextFit, InterfaceFontIsTheEmbeddedCondensedFace)
{
    // Two loads never add the files twice; the face comes from the
    // program's resources, not from the machine's font configuration.
    EXPECT_EQ(use_interface_font(), use_interface_font());
    EXPECT_FALSE(QFontDatabase::applicationFontFamilies(0).isEmpty());
    const QFontInfo info(QApplication::font());
    EXPECT_EQ(info.pixelSize(), INTERFACE_FONT_PIXELS);
    EXPECT_EQ(info.styleName(), QStringLiteral("Condensed"));
    auto* combo = new eliding_combo;
    combo->addItem(QStringLiteral("Frequency Response Analyser"));
    combo->setToolTip(QStringLiteral("Mode"));
    combo->setGeometry(0, 0, 80, 23);
    EXPECT_TRUE(combo->shown_text().endsWith(QChar(0x2026))) << combo->shown_text().toStdString();
    EXPECT_EQ(combo->tip_text(), combo->itemText(0)); // the cut text whole
    combo->setGeometry(0, 0, 400, 23);
    EXPECT_EQ(combo->shown_text(), combo->itemText(0));
    EXPECT_EQ(combo->tip_text(), QStringLiteral("Mode"));
    delete combo;
}

} // namespace

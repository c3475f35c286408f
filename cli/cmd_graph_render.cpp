// graph-render: the graph dialog's chart of stored tests (Bode, Nyquist or
// Nichols) written to a bitmap, PNG or SVG file by the output's suffix,
// painted offscreen as the dialog's Save to Bitmap paints it. Prints the
// ranges applied and each test's menu caption and whole name, as the legend shows it.

#ifdef TARVELO_CLI_RENDER

#include "base/ui_seam.h"
#include "cli/cli.h"
#include "cli/painting_app.h"
#include "db/db_connection.h"
#include "graph/ui/chart_file.h"
#include "review/ui/graph_overlay.h"

#include <QPainter>
#include <cstdio>

namespace {

// Two numbers "A,B"; false for anything else.
bool parse_pair(const std::string& text, std::string& a, std::string& b)
{
    const size_t comma = text.find(',');
    if (comma == std::string::npos)
        return false;
    a = text.substr(0, comma);
    b = text.substr(comma + 1);
    return true;
}

bool parse_background(const std::string& text, graph_model& m)
{
    if (text.empty() || text == "black")
        m.set_background(bode_background::black);
    else if (text == "white")
        m.set_background(bode_background::white);
    else {
        char* end = nullptr;
        const unsigned long rgb = std::strtoul(text.c_str(), &end, 16);
        if (text.size() != 6 || *end != '\0')
            return false;
        m.set_background(bode_background::custom,
                         {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)});
    }
    return true;
}

bool parse_view(const std::string& text, graph_view& view)
{
    const std::pair<const char*, graph_view> names[] = {{"bode", graph_view::bode},
                                                        {"nyquist", graph_view::nyquist},
                                                        {"nichols", graph_view::nichols}};
    for (const auto& [name, v] : names)
        if (text == name) {
            view = v;
            return true;
        }
    return false;
}

// Applies the range options; false (after the dialog's message) when refused.
bool apply_ranges(const cli_args& args, graph_model& m)
{
    std::string a, b;
    s_range_check r;
    if (args.has("--freq-range")) {
        if (!parse_pair(args.get("--freq-range"), a, b) || !m.apply_freq_range(a, b, &r)) {
            ui_message_box(nullptr, r.message.empty() ? "Invalid frequency values" : r.message,
                           "Tarvelo2", MB_OK);
            return false;
        }
        m.auto_gain_range();
    }
    const std::string gain = args.get("--gain-range");
    if (gain == "centre") {
        m.centre_gain_range();
    } else if (!gain.empty()) {
        if (!parse_pair(gain, a, b) || !m.apply_gain_range(a, b, &r)) {
            ui_message_box(nullptr, r.message.empty() ? "Please enter a number" : r.message,
                           "Tarvelo2", MB_OK);
            return false;
        }
    }
    return true;
}

int run_render(const cli_args& args)
{
    std::vector<int> keys;
    int width = 1024, height = 625;
    const std::string out = args.get("--out");
    const long weight = args.get_long("--weight", 2);
    if (!cli_parse_test_keys(args.get("--tests"), size_t(MARGIN_SLOTS), keys) || out.empty() ||
        weight < 1 || weight > 3 ||
        (args.has("--size") &&
         std::sscanf(args.get("--size").c_str(), "%dx%d", &width, &height) != 2) ||
        width < 200 || height < 200 || width > 8000 || height > 8000)
        return CLI_USAGE;
    if (chart_file_path(out, chart_format::bmp) != out) {
        cli_say("%s: only .bmp, .png and .svg files are written", out.c_str());
        return CLI_USAGE;
    }
    graph_view view = graph_view::bode;
    if (!parse_view(args.get("--view", "bode"), view))
        return CLI_USAGE;
    if (!cli_open_database(args))
        return 1;
    if (!cli_check_tests(keys)) {
        db_close();
        return 1;
    }
    graph_model m;
    m.view = view;
    const int loaded = m.load(keys);
    db_close();
    if (loaded < 0)
        return 1;
    m.log_scaling = !args.flag("--linear");
    for (PlotStyle& s : m.styles)
        s.gain_weight = s.phase_weight = int(weight);
    if (!parse_background(args.get("--background"), m))
        return CLI_USAGE;
    if (args.flag("--margins"))
        m.find_margins();
    if (args.flag("--filter-noise"))
        m.filter_noise();
    if (!apply_ranges(args, m))
        return 1;
    const cli_painting_app qt;
    const chart_painter paint = [&m](QPainter& p, const QRect& r) { graph_paint(p, r, m, true); };
    if (chart_save(paint, QSize(width, height), QString::fromLocal8Bit(out.c_str()),
                   chart_format_of(out, 0)) != 0) {
        cli_say("cannot write %s", out.c_str());
        return 1;
    }
    std::printf("frequency\t%.6g\t%.6g\n", m.freq.fmin, m.freq.fmax);
    std::printf("gain\t%.6g\t%.6g\n", m.gain.gmin, m.gain.gmax);
    for (int i = 0; i < m.count; ++i)
        std::printf("test\t%d\t%s\t%s\n", i + 1, graph_menu_caption(m.plots[i].test_name).c_str(),
                    m.plots[i].test_name.c_str());
    return 0;
}

const cli_option_registrar render_options({"--out", "--size", "--background", "--freq-range",
                                           "--gain-range", "--weight", "--view"});
const cli_flag_registrar linear_flag("--linear");
const cli_flag_registrar margins_flag("--margins");
const cli_flag_registrar filter_flag("--filter-noise");
const cli_registrar render_command(
    {"graph-render",
     "graph-render --db FILE --tests K,K,... --out FILE.bmp|.png|.svg [--size WxH] "
     "[--view bode|nyquist|nichols] "
     "[--background black|white|RRGGBB] [--linear] [--freq-range A,B] [--gain-range A,B|centre] "
     "[--weight 1|2|3] [--margins] [--filter-noise]  the graph dialog's chart as a file",
     run_render});

} // namespace

#endif

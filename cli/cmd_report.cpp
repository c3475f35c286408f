// report: a PDF report, painted offscreen as the windows print it: the FRA
// test report of a stored test, the comparison report of stored tests, the
// component report of an LCR or piezo sweep file (with the equivalent
// circuit --model names fitted over the whole sweep), or a transformer's
// assessment (stored with its session on --store). Prints "written PATH"
// and the number of pages. Exit status: 0 done, 1 failed, 2 usage, 4
// refused (an assessment with nothing to assess, or --out naming the file
// the report is made from).

#ifdef TARVELO_CLI_RENDER

#include "base/ui/interface_font.h"
#include "base/ui/qt_seams.h"
#include "base/ui_seam.h"
#include "cli/cli.h"
#include "cli/export_common.h"
#include "cli/painting_app.h"
#include "config/config_text_block.h"
#include "db/db_assessment.h"
#include "db/db_connection.h"
#include "db/db_transaction.h"
#include "fra/ui/fra_report.h"
#include "lcr/equivalent_circuit.h"
#include "lcr/piezo_import.h"
#include "lcr/ui/component_report.h"
#include "review/ui/assessment_report.h"
#include "review/ui/assessment_write.h"
#include "review/ui/compare_report.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

namespace {

constexpr int FAILED = 1;
constexpr int REFUSED = 4;

// The Qt side every report paints with: offscreen, the program's release
// for the page foot, the embedded interface font.
struct report_painting {
    report_painting()
    {
        QCoreApplication::setApplicationVersion(QStringLiteral(TARVELO_VERSION));
        use_interface_font(); // as the windows set it
    }
    cli_painting_app app;
};

bool parse_paper(const std::string& text, report_paper& paper)
{
    if (text.empty())
        paper = report_paper_of(QLocale::system());
    else if (text == "a4")
        paper = report_paper::a4;
    else if (text == "letter")
        paper = report_paper::letter;
    else
        return false;
    return true;
}

int write(const report_document& doc, const std::string& out, report_paper paper)
{
    std::string error;
    if (!doc.write_pdf(out, paper, error)) {
        cli_say("%s", error.c_str());
        return FAILED;
    }
    print_written(out);
    std::printf("pages\t%d\n", doc.page_count(report_page_size(paper)));
    return 0;
}

int fra_kind(const cli_args& args, const std::string& out, report_paper paper)
{
    std::vector<int> keys;
    if (!cli_parse_test_keys(args.get("--tests"), 1, keys))
        return CLI_USAGE;
    if (!cli_open_database(args))
        return FAILED;
    s_fra_report_input in;
    const bool read = cli_check_tests(keys) && fra_report_stored(keys[0], in);
    db_close();
    if (!read)
        return FAILED;
    in.nyquist = args.flag("--nyquist");
    in.nichols = args.flag("--nichols");
    in.with_points = args.flag("--points");
    report_painting qt;
    return write(fra_report(in), out, paper);
}

int compare_kind(const cli_args& args, const std::string& out, report_paper paper)
{
    std::vector<int> keys;
    if (!cli_parse_test_keys(args.get("--tests"), size_t(MARGIN_SLOTS), keys))
        return CLI_USAGE;
    if (!cli_open_database(args))
        return FAILED;
    graph_model model;
    const bool read = cli_check_tests(keys) && model.load(keys) >= 0;
    std::vector<report_field> details;
    if (read)
        details = compare_report_details(keys[0]);
    db_close();
    if (!read)
        return FAILED;
    report_painting qt;
    return write(compare_report(model, std::move(details)), out, paper);
}

int component_kind(const cli_args& args, const std::string& out, report_paper paper)
{
    if (!args.has("--from-sweep-file") || args.has("--db")) {
        cli_say("a component report reads an LCR or piezo sweep: --from-sweep-file F "
                "(the database keeps FRA tests)");
        return CLI_USAGE;
    }
    const std::string model_name = args.get("--model", "none");
    if (model_name != "none" && model_name != "best" && !circuit_model_from_name(model_name)) {
        cli_say("--model names rl-series, rl-parallel, rc-series, rc-parallel, rlc-series, "
                "rlc-parallel, resonator, best or none");
        return CLI_USAGE;
    }
    const std::string file = args.get("--from-sweep-file");
    auto results = std::make_unique<LcrResults>();
    std::string message;
    const s_piezo_import got = piezo_import_file(file, *results, message);
    if (!message.empty())
        ui_message_box(nullptr, message, "Tarvelo2", MB_OK | MB_ICONINFORMATION);
    if (got.points <= 0)
        return FAILED;
    s_component_report_input in;
    in.results = results.get();
    in.piezo = args.flag("--piezo");
    in.with_points = args.flag("--points");
    report_painting qt;
    if (model_name != "none") {
        const auto model = circuit_model_from_name(model_name);
        const std::vector<impedance_sample> samples = lcr_impedance(*results);
        in.circuit = component_report_fit_fields(model ? fit_circuit(samples, *model)
                                                       : fit_best_circuit(samples));
    }
    in.details = {{QStringLiteral("Sweep file"), QString::fromLocal8Bit(file.c_str())}};
    // An LCR export names the instrument and its configuration at its head.
    std::ifstream text(file, std::ios::binary);
    in.instrument = report_fields_of(config_block_fields(
        {std::istreambuf_iterator<char>(text), std::istreambuf_iterator<char>()}));
    return write(component_report(in), out, paper);
}

bool parse_key(const std::string& text, int64_t& key)
{
    char* end = nullptr;
    key = std::strtoll(text.c_str(), &end, 10);
    return !text.empty() && end && *end == '\0' && key > 0;
}

// The sessions' keys and the unit; false after saying why.
bool assessment_request(const cli_args& args, s_assessment_request& r, bool& store)
{
    if (!parse_key(args.get("--session"), r.session_no) ||
        !parse_key(args.get("--fingerprint"), r.fingerprint_no) ||
        (args.has("--sister") && !parse_key(args.get("--sister"), r.sister_no))) {
        cli_say("an assessment names the sessions by their keys: --session K (the unit) "
                "--fingerprint K (its earlier sweeps) [--sister K] (a sister unit's)");
        return false;
    }
    std::string error;
    const auto unit = transformer_parse(args.get("--vector-group"), error);
    if (!unit) {
        cli_say("%s", error.c_str());
        return false;
    }
    r.unit = *unit;
    r.unit.tap = args.get("--tap");
    r.text = {qt_from_ansi(args.get("--conclusion")), qt_from_ansi(args.get("--assessed-by"))};
    store = args.flag("--store");
    return true;
}

// The sessions read and something of the plan measured; false after saying
// why, with the exit status.
bool assessment_read(const s_assessment_request& r, s_assessment_inputs& in, int& status)
{
    status = FAILED;
    if (assessment_gather(r.unit, r.session_no, r.fingerprint_no, r.sister_no, in) != 0)
        return false;
    const std::pair<const s_assessment_unit*, int64_t> asked[] = {
        {&in.unit, r.session_no}, {&in.fingerprint, r.fingerprint_no}, {&in.sister, r.sister_no}};
    for (const auto& [unit, key] : asked)
        if (key > 0 && unit->session.SessionNo == DB_NO_SUCH_ROW) {
            cli_say("The database holds no session %lld", static_cast<long long>(key));
            return false;
        }
    if (in.assessment.missing.size() == in.plan.size()) {
        cli_say("The session holds no test of the %s plan: nothing to assess",
                r.unit.vector_group.c_str());
        status = REFUSED;
        return false;
    }
    return true;
}

const char* const STORE_FAILED = "The assessment could not be stored with its session";

// Stores the assessment with its session and writes the file, both or
// neither.
bool assessment_store_and_write(const s_assessment_request& r, const std::string& out,
                                const QByteArray& pdf, std::string& error)
{
    db_transaction_scope scope;
    if (db_store_assessment(assessment_record_of(r, pdf)) != 0) {
        error = STORE_FAILED;
        return false;
    }
    if (!report_write_pdf_bytes(out, pdf, error))
        return false;
    if (scope.commit() != 0) {
        error = STORE_FAILED;
        std::remove(out.c_str());
        return false;
    }
    return true;
}

int assessment_kind(const cli_args& args, const std::string& out, report_paper paper)
{
    s_assessment_request r;
    bool store = false;
    if (!assessment_request(args, r, store))
        return CLI_USAGE;
    if (r.fingerprint_no == r.session_no || r.sister_no == r.session_no) {
        cli_say("A unit is assessed against other sessions than its own");
        return REFUSED;
    }
    if (!cli_open_database(args))
        return FAILED;
    s_assessment_inputs in;
    int status = FAILED;
    if (!assessment_read(r, in, status)) {
        db_close();
        return status;
    }
    report_painting qt;
    const report_document doc = assessment_report(in, r.text);
    QByteArray pdf;
    std::string error;
    const bool done =
        doc.pdf_bytes(paper, pdf, error) && (store ? assessment_store_and_write(r, out, pdf, error)
                                                   : report_write_pdf_bytes(out, pdf, error));
    db_close();
    if (!done) {
        cli_say("%s", error.c_str());
        return FAILED;
    }
    print_written(out);
    std::printf("pages\t%d\n", doc.page_count(report_page_size(paper)));
    return 0;
}

// Whether --out names the database or the sweep file the report is made
// from, which writing the PDF would replace.
bool out_is_an_input(const cli_args& args, const std::string& out)
{
    for (const char* input : {"--db", "--from-sweep-file"}) {
        std::error_code ec;
        const std::string path = args.get(input);
        if (!path.empty() && std::filesystem::equivalent(path, out, ec))
            return true;
    }
    return false;
}

int run_report(const cli_args& args)
{
    const std::string kind = args.get("--kind");
    const std::string out = args.get("--out");
    report_paper paper = report_paper::a4;
    if (out.empty() || !parse_paper(args.get("--paper"), paper))
        return CLI_USAGE;
    if (out_is_an_input(args, out)) {
        cli_say("The report is not written over the file it is made from: %s", out.c_str());
        return REFUSED;
    }
    if (kind == "fra")
        return fra_kind(args, out, paper);
    if (kind == "compare")
        return compare_kind(args, out, paper);
    if (kind == "component")
        return component_kind(args, out, paper);
    if (kind == "assessment")
        return assessment_kind(args, out, paper);
    return CLI_USAGE;
}

// --tests, --out, --from-sweep-file and --model are declared with the other
// commands.
const cli_option_registrar report_options({"--kind", "--paper", "--session", "--fingerprint",
                                           "--sister", "--vector-group", "--tap", "--conclusion",
                                           "--assessed-by"});
const cli_flag_registrar store_flag("--store");
const cli_flag_registrar points_flag("--points");
const cli_flag_registrar nyquist_flag("--nyquist");
const cli_flag_registrar nichols_flag("--nichols");
const cli_flag_registrar piezo_flag("--piezo");
const cli_registrar report_command(
    {"report",
     "report --kind fra|compare|component|assessment [--db FILE --tests K,K,...] "
     "[--from-sweep-file F [--piezo] [--model M|best]] [--db FILE --session K --fingerprint K "
     "[--sister K] --vector-group G [--tap T] [--conclusion TEXT] [--assessed-by NAME] "
     "[--store]] --out FILE.pdf [--paper a4|letter] [--points] [--nyquist] [--nichols]  a PDF "
     "report",
     run_report});

} // namespace

#endif

// lcr-fit: an equivalent circuit fitted to the sweep of a file (a sweepN.dat,
// the LCR export or the piezo report's sweep sheet), over the whole sweep or
// the frequencies of --freq-range. Prints the model's name, then one line per
// element: name, value, standard uncertainty and unit, tab-separated, the
// value given to the second significant digit of its uncertainty. Exit
// status: 0 done, 1 failed (the file could not be read, no fit could be
// made), 2 usage.

#include "base/sweep_numbers.h"
#include "cli/cli.h"
#include "lcr/equivalent_circuit.h"
#include "lcr/lcr_layouts.h"
#include "lcr/piezo_import.h"

#include <cmath>
#include <cstdio>
#include <memory>

namespace {

constexpr int FAILED = 1;

// "A,B" with A below B.
bool frequency_range(const std::string& text, double& low, double& high)
{
    const auto comma = text.find(',');
    return comma != std::string::npos && sweep_parse_number(text.substr(0, comma), low) &&
           sweep_parse_number(text.substr(comma + 1), high) && low < high;
}

// A five-value file reads as impedance rows; --layout 7 reads it as
// admittance rows. Any other layout must match the file's row width.
bool apply_layout(const cli_args& args, LcrResults& results)
{
    if (!args.has("--layout"))
        return true;
    const long code = args.get_long("--layout", 0);
    if (!lcr_layout_known(code) ||
        lcr_layout(static_cast<int>(code)).values != lcr_layout(results.layout).values)
        return false;
    results.layout = static_cast<int>(code);
    return true;
}

// The value to the uncertainty's second significant digit; an uncertainty
// that is zero or not finite leaves six digits.
void print_element(const fitted_element& e)
{
    int digits = 6;
    if (std::isfinite(e.uncertainty) && e.uncertainty > 0 && e.value != 0) {
        const double magnitude = std::floor(std::log10(std::fabs(e.value)));
        digits = static_cast<int>(magnitude - std::floor(std::log10(e.uncertainty))) + 2;
        digits = digits < 1 ? 1 : digits > 17 ? 17 : digits;
    }
    std::printf("%s\t%.*g\t%.2g\t%s\n", e.name.c_str(), digits, e.value, e.uncertainty,
                e.unit.c_str());
}

int run_lcr_fit(const cli_args& args)
{
    const auto model = circuit_model_from_name(args.get("--model"));
    double low = 0, high = 0;
    if (!args.has("--from-sweep-file") || (args.get("--model") != "best" && !model) ||
        (args.has("--freq-range") && !frequency_range(args.get("--freq-range"), low, high))) {
        cli_say("lcr-fit needs --from-sweep-file F --model rl-series|rl-parallel|rc-series|"
                "rc-parallel|rlc-series|rlc-parallel|resonator|best [--freq-range A,B]");
        return CLI_USAGE;
    }
    auto results = std::make_unique<LcrResults>();
    std::string message;
    const s_piezo_import got = piezo_import_file(args.get("--from-sweep-file"), *results, message);
    if (!message.empty())
        cli_say("%s", message.c_str());
    if (got.points == 0)
        return FAILED;
    if (!apply_layout(args, *results)) {
        cli_say("the sweep file's rows do not hold layout %s", args.get("--layout").c_str());
        return CLI_USAGE;
    }
    std::vector<impedance_sample> samples = lcr_impedance(*results);
    if (args.has("--freq-range"))
        samples = impedance_between(samples, low, high);
    const circuit_fit fit = model ? fit_circuit(samples, *model) : fit_best_circuit(samples);
    if (!fit.refusal.empty()) {
        cli_say("%s", fit.refusal.c_str());
        return FAILED;
    }
    std::printf("%s\n", circuit_model_name(fit.model));
    for (const fitted_element& e : fit.elements)
        print_element(e);
    return 0;
}

const cli_registrar
    lcr_fit_cmd({"lcr-fit",
                 "lcr-fit --from-sweep-file F --model rl-series|rl-parallel|rc-series|rc-parallel|"
                 "rlc-series|rlc-parallel|resonator|best [--layout 7] [--freq-range A,B]",
                 run_lcr_fit});
const cli_option_registrar lcr_fit_options({"--from-sweep-file", "--model", "--layout",
                                            "--freq-range"});

} // namespace

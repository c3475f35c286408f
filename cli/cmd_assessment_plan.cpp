// The measurements of a transformer assessment for a vector group, one
// tab-separated line per step in the order they are swept: name, winding,
// source terminal, measured terminal, shorted terminals, open terminals and
// earthed terminals. A field of several terminals joins them with spaces;
// a field with none is empty.

#include "cli/cli.h"
#include "review/assessment_plan.h"

#include <cstdio>

namespace {

std::string joined(const std::vector<std::string>& terminals)
{
    std::string out;
    for (const std::string& t : terminals)
        out += (out.empty() ? "" : " ") + t;
    return out;
}

int run_plan(const cli_args& args)
{
    if (!args.has("--vector-group")) {
        cli_say("assessment-plan needs --vector-group G (for example Dyn11)");
        return CLI_USAGE;
    }
    std::string error;
    std::optional<s_transformer> unit = transformer_parse(args.get("--vector-group"), error);
    if (!unit) {
        cli_say("%s", error.c_str());
        return CLI_USAGE;
    }
    unit->tap = args.get("--tap");
    for (const s_plan_step& step : assessment_plan(*unit))
        std::printf("%s\t%s\t%s\t%s\t%s\t%s\t%s\n", step.name.c_str(), step.winding.c_str(),
                    step.source.c_str(), step.measured.c_str(), joined(step.shorted).c_str(),
                    joined(step.open).c_str(), joined(step.earthed).c_str());
    return 0;
}

const cli_option_registrar plan_options({"--vector-group", "--tap"});

const cli_registrar plan_command({"assessment-plan",
                                  "assessment-plan --vector-group G [--tap T]  the measurements "
                                  "of a transformer assessment, one tab-separated line each",
                                  run_plan});

} // namespace

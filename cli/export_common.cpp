#include "cli/export_common.h"

#include "cli/identified_model.h"
#include "config/config_current.h"
#include "config/instrument_config.h"
#include "link/link.h"
#include "office/excel_server.h"

#include <cstdio>

void print_written(const std::string& path)
{
    std::printf("written %s\n", path.c_str());
}

void print_all_written(const std::vector<std::string>& paths)
{
    for (const std::string& path : paths)
        print_written(path);
}

int export_status(int result)
{
    return result >= 0 ? 0 : result == EXPORT_DECLINED ? EXPORT_REFUSED : 1;
}

void set_reports(const std::string& data)
{
    office_set_reports_folder(data + "/reports");
    office_set_opener(print_written);
}

bool format_of(const cli_args& args, bool& excel)
{
    const std::string format = args.get("--format");
    excel = format == "xlsx";
    if (excel || format == "csv")
        return true;
    cli_say("--format csv|xlsx");
    return false;
}

int header_of(s_export_header& header)
{
    constexpr int NOT_IDENTIFIED = 3;
    header = {&config_current(), &g_link, {}};
    if (g_link.interface == LINK_NONE)
        return 0;
    instrument_config* cfg = cli_identified_model();
    if (!cfg)
        return NOT_IDENTIFIED;
    if (!cfg->read_all(g_link, true))
        return 1; // the header would describe settings the instrument may not have
    header.cfg = cfg;
    return 0;
}

#include "config/ui/report_instrument.h"

#include "base/ui/qt_seams.h"
#include "config/config_current.h"
#include "config/instrument_config.h"
#include "link/link.h"

namespace {

constexpr int OPERATING_MODE_PARAM = 1;

QString identity_field(int which)
{
    char field[LINK_FIELD_SIZE] = {};
    try {
        link_identity_field(field, which, g_link);
    } catch (const NoConStrException&) {
        return {};
    }
    return qt_from_ansi(field);
}

} // namespace

std::vector<report_field> report_instrument_fields()
{
    if (!g_link.identified)
        return {};
    std::string mode;
    config_current().get_display_text(OPERATING_MODE_PARAM, mode);
    return {{QStringLiteral("Instrument"), identity_field(1)},
            {QStringLiteral("Serial number"), identity_field(2)},
            {QStringLiteral("Firmware version"), identity_field(3)},
            {QStringLiteral("Operating mode"), qt_from_ansi(mode)}};
}

// Fields of the instrument's identification reply: manufacturer, model,
// serial number and version, separated by commas.

#include "link/link.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {

// Field index (0 manufacturer ... 3 version, which runs to the end).
std::string_view identity_part(std::string_view identity, int index)
{
    size_t start = 0;
    for (int i = 0; i < index; ++i) {
        const size_t comma = identity.find(',', start);
        if (comma == std::string_view::npos)
            return {};
        start = comma + 1;
    }
    if (index == 3)
        return identity.substr(start);
    const size_t comma = identity.find(',', start);
    return identity.substr(start, comma == std::string_view::npos ? comma : comma - start);
}

std::string_view option_text(int option)
{
    if (option == 1)
        return "Low Current";
    if (option == 2)
        return "High Current";
    return "Standard";
}

std::string_view field(int which, const s_link& link)
{
    switch (which) {
    case 0: return link.interface == LINK_LAN ? link.ip_address : link.port_name;
    case 1:
    case 2:
    case 3: return identity_part(link.identity, which);
    case 4: return option_text(link.current_option);
    case 5: {
        const std::string_view model = identity_part(link.identity, 1);
        if (!link.caps.model_variant || model.size() < 2)
            return {};
        return model.substr(model.size() - 2, 1);
    }
    default: return {};
    }
}

} // namespace

void link_identity_field(char* out, int which, const s_link& link)
{
    if (!out)
        throw std::invalid_argument("link_identity_field: no output buffer");
    std::memset(out, 0, 4);
    if (link.identity.empty())
        throw NoConStrException();
    const std::string_view text = field(which, link);
    const size_t n = std::min(text.size(), LINK_FIELD_SIZE - 1);
    text.copy(out, n);
    out[n] = '\0';
}

#include "app/status_texts.h"

#include "link/link.h"

#include <filesystem>

namespace {

std::string identity_field(const s_link& link, int which)
{
    char field[LINK_FIELD_SIZE] = {};
    try {
        link_identity_field(field, which, link);
    } catch (...) {
        return {};
    }
    return field;
}

std::string interface_text(const s_link& link)
{
    switch (link.interface) {
    case LINK_USB: return "USB " + link.port_name;
    case LINK_LAN: return "LAN " + link.ip_address;
    case LINK_SERIAL: return "Serial " + link.port_name;
    default: return {};
    }
}

} // namespace

std::string status_instrument_text(const s_link& link)
{
    if (!link.identified)
        return "Not connected";
    std::string text = identity_field(link, 1);
    if (text.empty())
        text = "Instrument";
    if (const std::string serial = identity_field(link, 2); !serial.empty())
        text += " serial " + serial;
    if (const std::string via = interface_text(link); !via.empty())
        text += ", " + via;
    return text;
}

std::string status_database_name(const std::string& path)
{
    const std::string name = std::filesystem::path(path).filename().string();
    return name.empty() ? path : name;
}

std::string status_database_path(const std::string& path, const std::string& home)
{
    std::string root = home;
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    if (root.empty() || root == "/" || path.size() <= root.size() + 1 ||
        path.compare(0, root.size(), root) != 0 || path[root.size()] != '/')
        return path;
    return "~" + path.substr(root.size());
}

#include "config/config_text_block.h"

#include "base/text_file.h"
#include "config/instrument_config.h"
#include "config/param_table.h"
#include "link/link.h"

#include <algorithm>
#include <sstream>

namespace {

constexpr const char* HEADER =
    "Instrument Configuration\n------------------------\nFile Format,QmrkV1\n";
constexpr int MODE_ID = 1;

// Letter case is folded for ASCII only, as in the "C" locale.
std::string lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// Text parameters print their text, list parameters the chosen option; a
// plain integer (the sweep's step count) has no options and prints its number.
std::string value_text(const instrument_config& cfg, int id)
{
    const s_config_param* rec = cfg.record(id);
    if (!rec)
        return {};
    if (rec->type == PARAM_INTEGER && rec->options.empty())
        return std::to_string(rec->cell.val);
    std::string text;
    cfg.get_display_text(id, text);
    return text;
}

void append_entry(std::string& out, const instrument_config& cfg, caps_param_names names,
                  const s_block_entry& e)
{
    if (e.id == 0) {
        out += e.title;
        return;
    }
    out += "," + lower(config_param_name(names, e.id)) + "," + lower(value_text(cfg, e.id)) + "\n";
}

// Option texts keep their percent signs doubled; the block shows them single.
std::string single_percent(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '%')
            ++i;
    }
    return out;
}

std::string identity_field(int which, const s_link& link)
{
    char field[LINK_FIELD_SIZE] = {};
    try {
        link_identity_field(field, which, link);
    } catch (const NoConStrException&) {
        return {};
    }
    return field;
}

} // namespace

std::string config_block_lines(const instrument_config& cfg, const s_block_layout& layout)
{
    std::string out;
    for (const s_block_entry& e : layout.common)
        append_entry(out, cfg, layout.names, e);
    append_entry(out, cfg, layout.names, {0, "Measurement settings"});
    append_entry(out, cfg, layout.names, {MODE_ID});
    int32_t mode = 0;
    cfg.get_int(MODE_ID, mode);
    if (mode >= 0 && static_cast<size_t>(mode) < layout.modes.size())
        for (const s_block_entry& e : layout.modes[static_cast<size_t>(mode)])
            append_entry(out, cfg, layout.names, e);
    return single_percent(out);
}

std::string config_block_text(const instrument_config& cfg, const s_link& link,
                              const std::string& calibration)
{
    std::ostringstream out;
    out << HEADER << "Instrument,type," << identity_field(1, link) << "\n,serial number,"
        << identity_field(2, link) << "\n,firmware version," << identity_field(3, link)
        << "\n,calibration," << calibration << "\n";
    cfg.print_config(out);
    return out.str();
}

void config_write_block(FILE* file, const instrument_config& cfg, const s_link& link,
                        const std::string& calibration)
{
    text_file_write_crlf(file, config_block_text(cfg, link, calibration));
}

std::vector<std::pair<std::string, std::string>> config_block_fields(std::string text)
{
    std::vector<std::pair<std::string, std::string>> fields;
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end()); // files end lines CR LF
    if (text.rfind(HEADER, 0) != 0)
        return fields;
    std::istringstream in(text.substr(std::string(HEADER).size()));
    std::string section;
    for (std::string line; std::getline(in, line);) {
        const size_t first = line.find(',');
        const size_t second = first == std::string::npos ? first : line.find(',', first + 1);
        if (second == std::string::npos)
            break; // the data section
        if (first > 0)
            section = line.substr(0, first);
        fields.emplace_back(section + ": " + line.substr(first + 1, second - first - 1),
                            line.substr(second + 1));
    }
    return fields;
}

#include "sim/identity.h"

namespace sim {

namespace {

struct model_prefix {
    const char* prefix;
    int type_code;
};

// Longer prefixes come before the shorter ones they begin with ("WRX73"
// before "WRX7").
constexpr model_prefix k_models[] = {
    {"QXD52", 13}, {"HXM63", 9}, {"HXM52", 7}, {"HXM41", 7}, {"KTVA61", 10}, {"KTVA62", 11},
    {"WRX73", 5},  {"LVQ80", 5}, {"WRX64", 4}, {"WRX38", 2}, {"WRX39", 3},   {"KLS interface", 3},
    {"WRX21", 1},  {"WRX7", 6},  {"TBN", 12},  {"GFU", 12},
};

} // namespace

std::string default_identity(sim_model model)
{
    return model == sim_model::hxm6300 ? "QUELLMARSH,HXM6300,630012,2.04"
                                       : "QUELLMARSH,HXM4100,410057,3.11";
}

std::string identity_field(std::string_view identity, int index)
{
    for (int i = 0; i < index; ++i) {
        const auto comma = identity.find(',');
        if (comma == std::string_view::npos) {
            return {};
        }
        identity.remove_prefix(comma + 1);
    }
    return std::string(identity.substr(0, identity.find(',')));
}

int identity_type_code(std::string_view identity)
{
    const std::string model = identity_model(identity);
    for (const auto& m : k_models) {
        if (std::string_view(model).starts_with(m.prefix)) {
            return m.type_code;
        }
    }
    return 0;
}

} // namespace sim

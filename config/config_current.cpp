#include "config/config_current.h"

#include <atomic>

namespace {

std::atomic<instrument_config*>& current()
{
    static std::atomic<instrument_config*> model{&config_model_4100()};
    return model;
}

} // namespace

hxm_cfg_4100& config_model_4100()
{
    static hxm_cfg_4100 model;
    return model;
}

hxm_cfg_6300& config_model_6300()
{
    static hxm_cfg_6300 model;
    return model;
}

instrument_config& config_current()
{
    return *current().load();
}

void config_select(const s_instrument_caps& caps)
{
    if (caps.config_model == caps_config_model::three_channel)
        current().store(&config_model_6300());
    else
        current().store(&config_model_4100());
}

#include "link/instrument_caps.h"

#include "link/link.h"

s_instrument_caps instrument_caps_of(int type_code)
{
    s_instrument_caps caps;
    switch (type_code) {
    case 1:
    case 6:
        caps.screen_width = 480;
        caps.screen_height = 272;
        caps.model_variant = true;
        break;
    case 2:
    case 3:
    case 4:
    case 5: caps.model_variant = true; break;
    case 7:
        caps.param_names = caps_param_names::hxm_4100;
        caps.screen_capture = false;
        caps.lcr_realtime = true;
        break;
    case 9:
        caps.channels = INSTRUMENT_THREE_CHANNELS;
        caps.config_model = caps_config_model::three_channel;
        caps.param_names = caps_param_names::hxm_6300;
        caps.lcr_quantity_layouts = true;
        caps.lcr_realtime = true;
        break;
    case 13: caps.param_names = caps_param_names::qxd_52; break;
    default: break; // 10, 11, 12 and unknown codes: the plain record
    }
    return caps;
}

void link_set_type(s_link& link, int type_code)
{
    link.type_code = type_code;
    link.caps = instrument_caps_of(type_code);
}

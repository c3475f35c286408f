#pragma once
// What the identified instrument can do: one record filled from the type
// code when identification sets it, and read by every part of the system
// that behaves differently from one model to another. Nothing outside
// identification and this record looks at the type code itself.

struct s_link;

// The three-channel model: it alone measures a third input.
constexpr int INSTRUMENT_THREE_CHANNELS = 3;

// The configuration model that holds the instrument's settings.
enum class caps_config_model {
    two_channel,   // hxm_cfg_4100
    three_channel, // hxm_cfg_6300
};

// The parameter name table its whole configuration is read and written
// with; none: the configuration is not transferred at all.
enum class caps_param_names { none, hxm_4100, hxm_6300, qxd_52 };

struct s_instrument_caps {
    // Input channels; with three, an FRA reading and sweep point carry ten
    // values when the third input is measured (parameter 84).
    int channels = 2;
    caps_config_model config_model = caps_config_model::two_channel;
    caps_param_names param_names = caps_param_names::none;
    // Size of the screen picture that "SCREEN?" sends.
    int screen_width = 320;
    int screen_height = 240;
    // False for the two-channel family, whose screen cannot be fetched.
    bool screen_capture = true;
    // An LCR sweep answers in the form parameter 137 selects; otherwise
    // always in the standard eight-value form.
    bool lcr_quantity_layouts = false;
    // Realtime LCR readings ("lcr?" with 11 or 14 values) are understood.
    bool lcr_realtime = false;
    // The second-to-last letter of the model field names the variant.
    bool model_variant = false;
};

// The capabilities of an instrument type code; 0 and unknown codes give the
// plain record (two channels, nothing model-specific).
s_instrument_caps instrument_caps_of(int type_code);

// Sets the link's type code and its capabilities together (0: not
// identified, the plain record).
void link_set_type(s_link& link, int type_code);

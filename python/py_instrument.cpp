#include "python/py_instrument.h"

#include "base/command_ids.h"
#include "config/config_param.h"
#include "config/config_protocol.h"
#include "config/config_text_block.h"
#include "config/hxm_cfg_4100.h"
#include "config/hxm_cfg_6300.h"
#include "fra/sweep_context.h"
#include "fra/sweep_worker.h"
#include "lcr/lcr_sweep.h"
#include "link/identify.h"
#include "link/link.h"
#include "python/py_sweep_run.h"
#include "python/py_values.h"

#include <cmath>
#include <optional>
#include <pybind11/stl.h>

namespace tarvelo_py {

namespace {

// The sweep settings every model keeps under the same ids.
enum : int { PARAM_START = 19, PARAM_END = 20, PARAM_STEP_SCALE = 192 };

constexpr double MAX_TIMEOUT_S = 86400;

std::unique_ptr<instrument_config> model_for(const s_link& link)
{
    if (link.caps.config_model == caps_config_model::three_channel)
        return std::make_unique<hxm_cfg_6300>();
    return std::make_unique<hxm_cfg_4100>();
}

std::string field(const s_link& link, int which)
{
    char out[LINK_FIELD_SIZE] = {};
    try {
        link_identity_field(out, which, link);
    } catch (const std::exception&) {
        return {};
    }
    return out;
}

// A parameter the model holds and transfers, else ValueError.
s_config_param& known(instrument_config& cfg, int id)
{
    s_config_param* rec = cfg.record(id);
    if (!rec || !param_has_record(*rec) || id > CONFIG_BANK_A_LAST)
        throw py::value_error("no parameter " + std::to_string(id));
    return *rec;
}

// Stores value into the model by the parameter's kind: text for a text
// parameter, the list position or whole number otherwise.
void store(instrument_config& cfg, int id, const py::handle& value, const std::string& what)
{
    const s_config_param& rec = known(cfg, id);
    if (rec.type != PARAM_TEXT) {
        cfg.set_int(id, whole_number(value, what));
        return;
    }
    const std::string text = value_text(value, what);
    if (!config_text_sendable(text))
        throw py::value_error(what + " holds a control character or ';', which cannot be sent");
    if (text.size() > static_cast<size_t>(PARAM_TEXT_MAX))
        throw py::value_error(what + " is longer than " + std::to_string(PARAM_TEXT_MAX) +
                              " characters");
    cfg.set_text(id, text);
}

} // namespace

void raise_outcome(int outcome, const std::string& messages)
{
    switch (static_cast<sweep_outcome>(outcome)) {
    case sweep_outcome::lost: raise(link_error(), messages, SWEEP_TEXT_CONNECTION_LOST);
    case sweep_outcome::cancelled: raise(instrument_error(), messages, SWEEP_TEXT_CANCELLED);
    default: raise(instrument_error(), messages, "The sweep did not complete.");
    }
}

instrument::instrument(s_link link) : link_(std::move(link)), config_(model_for(link_)) {}

instrument::~instrument()
{
    link_close(link_);
}

py::dict instrument::identity() const
{
    return py::dict(py::arg("model") = from_ansi(field(link_, 1)),
                    py::arg("serial") = from_ansi(field(link_, 2)),
                    py::arg("firmware") = from_ansi(field(link_, 3)),
                    py::arg("type_code") = link_.type_code,
                    py::arg("text") = from_ansi(link_.identity));
}

void instrument::refuse_while_realtime() const
{
    if (realtime_)
        raise(instrument_error(), "Realtime readings are running: close them first");
}

void instrument::begin_realtime()
{
    auto lock = lock_without_gil(busy_);
    refuse_while_realtime();
    realtime_ = true;
}

template <class Exchange> void instrument::exchange(Exchange exchange)
{
    auto lock = lock_without_gil(busy_);
    refuse_while_realtime();
    bool reached = false;
    std::optional<config_error> failed;
    run_interruptible(link_, [&] {
        reached = link_open(link_) == 0;
        if (reached) {
            try {
                exchange();
            } catch (config_error code) {
                failed = code;
            }
        }
        link_close(link_);
    });
    if (!reached)
        raise(link_error(), link_open_failure(link_));
    if (failed && config_error_ret(*failed) == 0)
        raise(link_error(), "parameter " + std::to_string(config_error_id(*failed)) +
                                ": the instrument's reply timed out");
    if (failed)
        raise(instrument_error(),
              "the exchange failed (Id:" + std::to_string(config_error_id(*failed)) +
                  " ret:" + std::to_string(config_error_ret(*failed)) + ")");
}

py::str instrument::read(int id)
{
    known(*config_, id);
    exchange([&] { config_->read_param(id, link_, nullptr); });
    return get(id);
}

py::str instrument::get(int id) const
{
    known(*config_, id);
    return from_ansi(config_shown_value(*config_, id));
}

void instrument::set(int id, const py::object& value)
{
    write_settings({{id, value, "parameter " + std::to_string(id)}});
}

// Every setting goes into the model first, then all cross in one exchange.
// What was not written (refused, or the exchange failed) is put back as it
// was, so the model keeps the instrument's value.
void instrument::write_settings(const std::vector<setting>& settings)
{
    std::vector<s_config_param> before(settings.size());
    for (size_t i = 0; i < settings.size(); ++i)
        param_copy(before[i], known(*config_, settings[i].id));
    size_t written = 0;
    const auto restore_unwritten = [&] {
        for (size_t i = settings.size(); i-- > written;) {
            s_config_param& rec = *config_->record(settings[i].id);
            rec.cell = before[i].cell;
            rec.changed = before[i].changed;
        }
    };
    bool refused = false;
    try {
        for (const setting& s : settings)
            store(*config_, s.id, s.value, s.what);
        exchange([&] {
            for (; written < settings.size(); ++written)
                if (!config_->write_param(settings[written].id, link_)) {
                    refused = true;
                    return;
                }
        });
    } catch (...) {
        restore_unwritten();
        throw;
    }
    restore_unwritten();
    if (refused) {
        const setting& s = settings[written];
        throw py::value_error(s.what + " refused " + std::string(py::repr(s.value)) +
                              ": out of range or not taken by the instrument");
    }
}

void instrument::transfer_all(bool write)
{
    auto lock = lock_without_gil(busy_);
    refuse_while_realtime();
    bool reached = false, done = false;
    const std::string messages = run_interruptible(link_, [&] {
        reached = link_open(link_) == 0;
        if (reached)
            done = write ? config_->write_all(link_, false) : config_->read_all(link_, false);
        link_close(link_);
    });
    if (!reached)
        raise(link_error(), link_open_failure(link_));
    if (!messages.empty())
        raise(instrument_error(), messages);
    if (!done)
        raise(instrument_error(), write ? "The configuration was not written in full"
                                        : "The configuration was not read in full");
}

py::str instrument::text_block() const
{
    return from_ansi(config_block_text(*config_, link_, ""));
}

// The settings given as keywords go to the instrument before the sweep, in
// one exchange; the others keep the instrument's.
void instrument::apply_settings(const py::kwargs& settings)
{
    const std::pair<const char*, int> names[] = {{"start", PARAM_START},
                                                 {"stop", PARAM_END},
                                                 {"steps", SWEEP_PARAM_STEPS},
                                                 {"scale", PARAM_STEP_SCALE}};
    std::vector<setting> out;
    for (const auto& [key, value] : settings) {
        const std::string name = py::str(key);
        const auto* it = std::find_if(std::begin(names), std::end(names),
                                      [&](const auto& n) { return name == n.first; });
        if (it == std::end(names))
            throw py::type_error("unknown sweep setting " + name + " (start, stop, steps, scale)");
        py::object v = py::reinterpret_borrow<py::object>(value);
        if (it->second == PARAM_STEP_SCALE && py::isinstance<py::str>(v)) {
            const std::string s = py::str(v);
            if (s != "log" && s != "linear")
                throw py::value_error("scale is \"log\" or \"linear\"");
            v = py::int_(s == "log" ? 0 : 1);
        }
        out.push_back({it->second, v, name + " (parameter " + std::to_string(it->second) + ")"});
    }
    if (!out.empty())
        write_settings(out);
}

fra_sweep instrument::fra(const py::kwargs& settings)
{
    refuse_while_realtime();
    apply_settings(settings);
    fra_sweep out;
    auto ctx = std::make_unique<FraSweepContext>();
    ctx->link = &link_;
    ctx->config = config_.get();
    run_sweep(
        busy_, *ctx, CMD_FRA_SWEEP_COMPLETE, [](FraSweepContext& c) { fra_sweep_worker(c); },
        [](FraSweepContext& c) { fra_sweep_cancel(c); });
    *out.results = ctx->sweep;
    out.when = std::time(nullptr);
    out.instrument = link_.identity;
    return out;
}

lcr_sweep instrument::lcr(const py::kwargs& settings)
{
    refuse_while_realtime();
    apply_settings(settings);
    lcr_sweep out;
    auto ctx = std::make_unique<LcrSweepContext>();
    ctx->link = &link_;
    ctx->config = config_.get();
    run_sweep(
        busy_, *ctx, CMD_LCR_SWEEP_COMPLETE, [](LcrSweepContext& c) { lcr_sweep_worker(c); },
        [](LcrSweepContext& c) { lcr_sweep_cancel(c); });
    *out.results = ctx->sweep;
    out.when = std::time(nullptr);
    out.instrument = link_.identity;
    return out;
}

void instrument::close()
{
    auto lock = lock_without_gil(busy_);
    link_close(link_);
}

std::unique_ptr<instrument> connect(std::optional<std::string> lan, int port,
                                    std::optional<std::string> serial, int baud,
                                    std::optional<std::string> usb, std::optional<double> timeout)
{
    if (!!lan + !!serial + !!usb != 1)
        throw py::value_error("connect needs one of lan=HOST, serial=PATH or usb=PATH");
    if (port <= 0 || port > 65535)
        throw py::value_error("port must be 1..65535");
    s_link link;
    if (lan) {
        link.interface = LINK_LAN;
        link.ip_address = *lan;
        link.tcp_port = port;
    } else {
        link.interface = serial ? LINK_SERIAL : LINK_USB;
        link.port_name = serial ? *serial : *usb;
        link.baud_rate = serial ? baud : LINK_USB_BAUD;
    }
    if (timeout) {
        if (!(*timeout > 0) || *timeout > MAX_TIMEOUT_S)
            throw py::value_error("timeout must be a positive number of seconds, at most a day");
        link.timeout_ms = static_cast<int32_t>(std::ceil(*timeout * 1000));
    }
    // The outcome is told as the command line tells it: why the link did
    // not open, else that no supported instrument answered.
    bool identified = false;
    const std::string messages = run_interruptible(link, [&] {
        identified = connect_and_identify(nullptr, link, true);
        link_close(link);
    });
    if (!identified && messages == link_open_failure(link))
        raise(link_error(), messages);
    if (!identified)
        raise(link_error(), "no supported instrument answered");
    link.identified = true;
    return std::make_unique<instrument>(std::move(link));
}

} // namespace tarvelo_py

namespace tarvelo_py {

namespace {

const char* const INSTRUMENT_DOC = R"(An identified HXM instrument.

Made by tarvelo2.connect(); usable as a context manager (closed on leaving).
Each operation opens the connection, exchanges and closes it again. The
instrument's own lock keeps operations from two threads in turn; two
instruments work at once from two threads, the GIL released while waiting.)";

const char* const CONNECT_DOC = R"(Connects to an instrument and identifies it ("*IDN?").

Exactly one of lan=HOST (TCP, port 10001 unless port= says), serial=PATH
(baud=19200 unless given) or usb=PATH; timeout= in seconds (at most a
day) for each reply after identification; each instrument keeps its own.
Raises LinkError with the program's message when no supported instrument
answers.)";

// The configuration of one instrument; keeps the instrument alive.
struct config_view {
    instrument* owner;
    py::object keep;
};

const char* const CONFIG_DOC = R"(An instrument's configuration, by parameter id or name.

Values are shown as the program shows them: a list parameter's text, a
number's or text's own text. set() takes a list position or whole number,
or a text for a text parameter, and writes it at once; describe() tells
what a parameter takes, names lists them all.)";

} // namespace

void init_instrument(py::module_& m)
{
    const auto id_of = [](config_view& c, const py::object& key) {
        return parameter_id(*c.owner, key);
    };
    py::class_<config_view>(m, "Config", CONFIG_DOC)
        .def(
            "read",
            [=](config_view& c, const py::object& id) { return c.owner->read(id_of(c, id)); },
            py::arg("id"),
            "Reads parameter id (or name) from the instrument and returns its value as shown.")
        .def(
            "get", [=](config_view& c, const py::object& id) { return c.owner->get(id_of(c, id)); },
            py::arg("id"),
            "The value of parameter id (or name) as last read or set, without asking the "
            "instrument.")
        .def(
            "set",
            [=](config_view& c, const py::object& id, const py::object& v) {
                c.owner->set(id_of(c, id), v);
            },
            py::arg("id"), py::arg("value"),
            "Sets parameter id (or name) to a list position, whole number or text (str, int or "
            "finite float) and writes it. ValueError when the range or the instrument refuses "
            "the value; the instrument and the model keep the old one then.")
        .def(
            "describe",
            [=](config_view& c, const py::object& id) { return describe(*c.owner, id_of(c, id)); },
            py::arg("id"),
            "What parameter id (or name) takes: id, name, kind (list, integer or text), choices "
            "(list positions' texts), min and max (None where unbounded), value.")
        .def_property_readonly(
            "names", [](config_view& c) { return parameter_names(*c.owner); },
            "Every parameter of this model: its name and its id.")
        .def(
            "read_all", [](config_view& c) { c.owner->transfer_all(false); },
            "Reads the whole configuration from the instrument.")
        .def(
            "write_all", [](config_view& c) { c.owner->transfer_all(true); },
            "Writes the whole configuration to the instrument.")
        .def(
            "text_block", [](const config_view& c) { return c.owner->text_block(); },
            "The configuration as the text block at the head of export files.");
    py::class_<instrument>(m, "Instrument", INSTRUMENT_DOC)
        .def_property_readonly("identity", &instrument::identity,
                               "model, serial, firmware, type_code and the whole reply (text).")
        .def_property_readonly(
            "config",
            [](py::object self) {
                return config_view{self.cast<instrument*>(), self};
            },
            "The instrument's configuration: read/get/set by parameter id, read_all(), "
            "write_all(), text_block().")
        .def("fra_sweep", &instrument::fra,
             "Runs one FRA sweep and returns an FraSweep. Keyword settings start=, stop= "
             "(Hz), steps=, scale=\"log\"|\"linear\" are written first; unset ones keep the "
             "instrument's. Ctrl-C cancels the sweep.")
        .def("lcr_sweep", &instrument::lcr,
             "Runs one LCR sweep and returns an LcrSweep; settings as for fra_sweep.")
        .def(
            "fra_realtime",
            [](py::object self) {
                instrument& i = self.cast<instrument&>();
                int values = FRA_VALUES_USUAL;
                if (i.link().caps.channels == INSTRUMENT_THREE_CHANNELS) {
                    i.read(FRA_PARAM_INPUT);
                    int32_t input = 0;
                    i.config().get_int(FRA_PARAM_INPUT, input);
                    values = input != 0 ? FRA_VALUES_MAX : FRA_VALUES_USUAL;
                }
                return make_fra_readings(self, values);
            },
            "Realtime FRA readings: an iterator of arrays (frequency, magnitude1, magnitude2, "
            "gain_db, phase_deg, delay), one per reading, until closed.")
        .def(
            "lcr_realtime", [](py::object self) { return make_lcr_readings(self); },
            "Realtime LCR readings: an iterator of arrays of the reading's 11 or 14 values.")
        .def("screen", &instrument::screen,
             "The instrument's screen as a height x width uint8 array, 1 for a drawn pixel. "
             "InstrumentError for a model whose screen cannot be fetched.")
        .def("close", &instrument::close,
             "Closes the connection (it is also closed after "
             "every operation).")
        .def("__repr__",
             [](const instrument& i) {
                 const s_link& l = i.link();
                 const std::string where = l.interface == LINK_LAN
                                               ? l.ip_address + ":" + std::to_string(l.tcp_port)
                                               : l.port_name;
                 return from_ansi("<tarvelo2.Instrument " + field(l, 1) + " serial " + field(l, 2) +
                                  " at " + where + ">");
             })
        .def("__enter__", [](py::object self) { return self; })
        .def("__exit__", [](instrument& i, py::args) { i.close(); });
    m.def("connect", &connect, py::kw_only(), py::arg("lan") = py::none(),
          py::arg("port") = LINK_DEFAULT_TCP_PORT, py::arg("serial") = py::none(),
          py::arg("baud") = 19200, py::arg("usb") = py::none(), py::arg("timeout") = py::none(),
          CONNECT_DOC);
}

} // namespace tarvelo_py

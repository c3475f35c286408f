#pragma once
// An instrument reached from Python: its own link record and its own copy
// of the configuration model, so two instruments on two threads never
// share either. Every operation opens the link, exchanges and closes it,
// as the program does.

#include "config/instrument_config.h"
#include "link/link.h"
#include "python/py_results.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <pybind11/numpy.h>
#include <vector>

namespace tarvelo_py {

class instrument {
public:
    explicit instrument(s_link link);
    ~instrument();

    py::dict identity() const;
    // Configuration: read (from the instrument), get (the model's value),
    // set (into the model and to the instrument), the whole configuration.
    py::str read(int id);
    py::str get(int id) const;
    const s_link& link() const { return link_; }
    void set(int id, const py::object& value);
    void transfer_all(bool write);
    py::str text_block() const;

    fra_sweep fra(const py::kwargs& settings);
    lcr_sweep lcr(const py::kwargs& settings);
    py::array_t<uint8_t> screen();
    void close();

    // Realtime readings hold the instrument from begin to end; every other
    // operation meanwhile raises InstrumentError.
    void begin_realtime();
    void end_realtime() { realtime_ = false; }
    s_link& link() { return link_; }
    instrument_config& config() { return *config_; }

private:
    struct setting {
        int id;
        py::object value;
        std::string what; // how a message names it
    };
    void write_settings(const std::vector<setting>& settings);
    void apply_settings(const py::kwargs& settings);
    // Runs exchange on the open link without the GIL; raises LinkError when
    // the link cannot be opened and InstrumentError for a failed exchange.
    template <class Exchange> void exchange(Exchange exchange);
    void refuse_while_realtime() const;

    s_link link_;
    std::unique_ptr<instrument_config> config_;
    std::mutex busy_;
    std::atomic<bool> realtime_{false};
};

// Parameters by name (py_config.cpp): the id of an id or a name (KeyError
// for an unknown name), what a parameter takes, and every name with its id.
int parameter_id(instrument& i, const py::handle& key);
py::dict describe(instrument& i, int id);
py::dict parameter_names(instrument& i);

// The iterators of realtime readings (py_realtime.cpp).
void init_realtime(py::module_& m);
py::object make_fra_readings(py::object owner, int values);
py::object make_lcr_readings(py::object owner);

std::unique_ptr<instrument> connect(std::optional<std::string> lan, int port,
                                    std::optional<std::string> serial, int baud,
                                    std::optional<std::string> usb, std::optional<double> timeout);

void init_instrument(py::module_& m);
void init_discover(py::module_& m);

} // namespace tarvelo_py

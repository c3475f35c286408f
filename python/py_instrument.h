#pragma once
// An instrument reached from Python: its own link record and its own copy
// of the configuration model, so two instruments on two threads never
// share either. Every operation opens the link, exchanges and closes it,
// as the program does.

#include "config/instrument_config.h"
#include "link/link.h"
#include "python/py_results.h"

#include <memory>
#include <mutex>
#include <optional>

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
    void set(int id, const py::object& value);
    void transfer_all(bool write);
    py::str text_block() const;

    fra_sweep fra(const py::kwargs& settings);
    lcr_sweep lcr(const py::kwargs& settings);
    void close();

private:
    void apply_settings(const py::kwargs& settings);
    // Runs exchange on the open link without the GIL; raises LinkError when
    // the link cannot be opened and InstrumentError for a failed exchange.
    template <class Exchange> void exchange(Exchange exchange);

    s_link link_;
    std::unique_ptr<instrument_config> config_;
    std::mutex busy_;
};

std::unique_ptr<instrument> connect(std::optional<std::string> lan, int port,
                                    std::optional<std::string> serial, int baud,
                                    std::optional<std::string> usb, std::optional<double> timeout);

void init_instrument(py::module_& m);

} // namespace tarvelo_py

#include "python/py_database.h"
#include "python/py_instrument.h"
#include "python/py_results.h"
#include "python/py_support.h"

PYBIND11_MODULE(tarvelo2, m)
{
    m.doc() = R"(Tarvelo2's core for scripts: HXM instruments, sweeps, files and the test database.

    with tarvelo2.connect(lan="192.0.2.20") as hxm:
        sweep = hxm.fra_sweep(start=10, stop=100e3, steps=200)
        print(sweep.margins()["summary"])
        plot(sweep.frequency, sweep.gain_db)

Instruments: discover(), serial_ports(), connect() -> Instrument (identity,
config by parameter id or name, fra_sweep, lcr_sweep).
Results: FraSweep and LcrSweep with numpy float64 columns, margins(),
piezo(), to_sweep_file(), to_touchstone(), to_dataframe() (with pandas);
built from arrays, pickled; read_sweep_file().
Database: Database(path), Database.create(path), store(), test(), compare().
Transformers: assessment_plan(vector_group), assessment(db, session, ...).
Reports: report(out, kind=...) writes a PDF (through tarvelo2-cli).
Errors: LinkError, InstrumentError and DatabaseError (all tarvelo2.Error)
carry the program's messages; refused values raise ValueError.)";
    tarvelo_py::init_support(m);
    tarvelo_py::init_results(m);
    tarvelo_py::init_instrument(m);
    tarvelo_py::init_realtime(m);
    tarvelo_py::init_database(m);
    tarvelo_py::init_discover(m);
    tarvelo_py::init_report(m);
    tarvelo_py::init_assessment(m);
    m.attr("__version__") = TARVELO_VERSION;
}

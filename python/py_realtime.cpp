// Realtime readings as Python iterators, and the instrument's screen as an
// array. A reading thread of the engine runs while the iterator is open;
// the instrument takes no other operation meanwhile.

#include "base/command_ids.h"
#include "config/screen_capture.h"
#include "fra/realtime.h"
#include "lcr/lcr_realtime.h"
#include "python/py_instrument.h"
#include "python/py_sweep_run.h"
#include "sweep/realtime_limits.h"

#include <pybind11/numpy.h>

namespace tarvelo_py {

namespace {

// What differs between the FRA and the LCR readings.
struct fra_kind {
    using context = FraSweepContext;
    static constexpr int READY = CMD_FRA_REALTIME_READY;
    static constexpr int FAILED = CMD_FRA_REALTIME_FAILED;
    static void run(context& c, const std::atomic<int>& running)
    {
        fra_realtime_thread(c, running);
    }
    static py::array_t<double> take(context& c, int values)
    {
        s_fra_result shown;
        fra_realtime_accept(c, shown);
        py::array_t<double> out(values);
        std::copy(shown.v, shown.v + values, out.mutable_data());
        return out;
    }
};

struct lcr_kind {
    using context = LcrSweepContext;
    static constexpr int READY = CMD_LCR_REALTIME_READY;
    static constexpr int FAILED = CMD_LCR_REALTIME_FAILED;
    static void run(context& c, const std::atomic<int>& running)
    {
        lcr_realtime_thread(c, running);
    }
    static py::array_t<double> take(context& c, int)
    {
        double shown[LCR_READING_VALUES_MAX] = {};
        lcr_realtime_accept(c, shown);
        const int n = lcr_reading_count(c.reading_type);
        py::array_t<double> out(n);
        std::copy(shown, shown + n, out.mutable_data());
        return out;
    }
};

template <class Kind> class readings : public command_target {
public:
    readings(py::object owner, int values) : owner_(std::move(owner)), values_(values)
    {
        instrument& i = owner_.cast<instrument&>();
        ctx_->link = &i.link();
        ctx_->config = &i.config();
        ctx_->notify = ctx_->owner = this;
    }
    ~readings() override { stop(); }

    void on_command(int id, intptr_t lparam) override
    {
        std::lock_guard l(m_);
        ready_ = ready_ || id == Kind::READY;
        failed_ = failed_ || id == Kind::FAILED;
        refused_ = refused_ || (id == Kind::FAILED && lparam == LCR_REALTIME_REFUSED);
        cv_.notify_all();
    }

    py::array_t<double> next()
    {
        if (!started_)
            start();
        if (!thread_.joinable())
            throw py::stop_iteration();
        for (;;) {
            {
                py::gil_scoped_release release;
                std::unique_lock l(m_);
                if (cv_.wait_for(l, std::chrono::milliseconds(50),
                                 [&] { return ready_ || failed_; }))
                    break;
            }
            if (PyErr_CheckSignals() != 0) {
                stop();
                throw py::error_already_set();
            }
        }
        std::unique_lock l(m_);
        if (!ready_) {
            const bool refused = refused_;
            l.unlock();
            stop();
            raise(instrument_error(),
                  refused ? TEXT_LCR_REALTIME_UNSUPPORTED : TEXT_REALTIME_FAILED);
        }
        ready_ = false;
        return Kind::take(*ctx_, values_);
    }

    void stop()
    {
        running_ = 0;
        if (thread_.joinable()) {
            py::gil_scoped_release release;
            thread_.join();
        }
        if (started_ && !stopped_) {
            instrument& i = owner_.cast<instrument&>();
            link_set_timeout(i.link(), link_usual_timeout(i.link())); // the readings' own is over
            i.end_realtime();
        }
        stopped_ = true;
    }

private:
    void start()
    {
        started_ = true;
        owner_.cast<instrument&>().begin_realtime();
        ctx_->request = 1;
        running_ = 1;
        thread_ = std::thread([this] { Kind::run(*ctx_, running_); });
    }

    py::object owner_;
    int values_;
    std::unique_ptr<typename Kind::context> ctx_ = std::make_unique<typename Kind::context>();
    std::atomic<int> running_{0};
    std::thread thread_;
    std::mutex m_;
    std::condition_variable cv_;
    bool ready_ = false, failed_ = false, refused_ = false;
    bool started_ = false, stopped_ = false;
};

template <class Kind> void bind_readings(py::module_& m, const char* name, const char* doc)
{
    py::class_<readings<Kind>>(m, name, doc)
        .def("__iter__", [](py::object self) { return self; })
        .def("__next__", &readings<Kind>::next)
        .def("close", &readings<Kind>::stop, "Stops the readings.")
        .def("__enter__", [](py::object self) { return self; })
        .def("__exit__", [](readings<Kind>& r, py::args) { r.stop(); });
}

// The capture's rows (leftmost pixel in the top bit, 1 for background) as
// height x width, 1 for a drawn pixel.
py::array_t<uint8_t> screen_array(const s_screen_capture& c)
{
    py::array_t<uint8_t> out({c.height, c.width});
    auto px = out.mutable_unchecked<2>();
    const int row_bytes = c.width / 8;
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
            px(y, x) = ((c.bits[y * row_bytes + x / 8] >> (7 - x % 8)) & 1) ? 0 : 1;
    return out;
}

} // namespace

py::array_t<uint8_t> instrument::screen()
{
    auto capture = std::make_unique<s_screen_capture>();
    int rc = 0;
    {
        auto lock = lock_without_gil(busy_);
        refuse_while_realtime();
        const std::string messages =
            run_interruptible(link_, [&] { rc = screen_download(link_, *capture); });
        if (rc != 0 || !capture->valid)
            raise(instrument_error(), messages, "The screen could not be read");
    }
    return screen_array(*capture);
}

void init_realtime(py::module_& m)
{
    bind_readings<fra_kind>(m, "FraReadings",
                            "Realtime FRA readings: each an array of frequency, magnitude1, "
                            "magnitude2, gain_db, phase_deg, delay (and the third input's four).");
    bind_readings<lcr_kind>(m, "LcrReadings",
                            "Realtime LCR readings: each an array of the reading's 11 or 14 "
                            "values in the instrument's order.");
}

py::object make_fra_readings(py::object owner, int values)
{
    return py::cast(std::make_unique<readings<fra_kind>>(std::move(owner), values));
}

py::object make_lcr_readings(py::object owner)
{
    return py::cast(std::make_unique<readings<lcr_kind>>(std::move(owner), 0));
}

} // namespace tarvelo_py

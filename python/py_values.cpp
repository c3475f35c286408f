#include "python/py_values.h"

#include <climits>
#include <cmath>

namespace tarvelo_py {

namespace {

[[noreturn]] void refuse_type(const py::handle& value, const std::string& what, const char* takes)
{
    throw py::type_error(what + " takes " + takes + ", not " +
                         std::string(py::str(py::type::of(value).attr("__name__"))));
}

// An int, a float or what numpy gives for one (np.int64, np.float32) as a
// Python int or float; none for anything else (bool included).
py::object as_number(const py::handle& value)
{
    if (py::isinstance<py::bool_>(value) || PyBool_Check(value.ptr()))
        return py::none();
    if (PyIndex_Check(value.ptr()))
        return py::reinterpret_steal<py::object>(PyNumber_Index(value.ptr()));
    if (py::isinstance<py::float_>(value) ||
        py::isinstance(value, py::module_::import("numbers").attr("Real")))
        return py::float_(py::reinterpret_borrow<py::object>(value));
    return py::none();
}

void check_finite(const py::handle& value, const std::string& what)
{
    if (py::isinstance<py::float_>(value) && !std::isfinite(value.cast<double>()))
        throw py::value_error(what + " must be a finite number, not " +
                              std::string(py::repr(value)));
}

} // namespace

std::string value_text(const py::handle& value, const std::string& what)
{
    if (py::isinstance<py::str>(value))
        return to_ansi(py::reinterpret_borrow<py::str>(value));
    const py::object number = as_number(value);
    if (number.is_none())
        refuse_type(value, what, "a str, an int or a finite float");
    check_finite(number, what);
    return py::str(number);
}

int32_t whole_number(const py::handle& value, const std::string& what)
{
    py::object number = as_number(value);
    if (py::isinstance<py::str>(value)) {
        try {
            number = py::int_(py::reinterpret_borrow<py::object>(value));
        } catch (const py::error_already_set&) {
            throw py::value_error(what + " takes a whole number");
        }
    }
    if (number.is_none())
        refuse_type(value, what, "a whole number (int)");
    check_finite(number, what);
    if (py::isinstance<py::float_>(number)) {
        const double d = number.cast<double>();
        if (d != std::floor(d))
            throw py::value_error(what + " takes a whole number");
        number = py::int_(number);
    }
    const long long v = PyLong_AsLongLong(number.ptr());
    if (PyErr_Occurred())
        PyErr_Clear();
    else if (v >= INT32_MIN && v <= INT32_MAX)
        return static_cast<int32_t>(v);
    throw py::value_error(what + " is out of range: " + std::string(py::repr(value)));
}

} // namespace tarvelo_py

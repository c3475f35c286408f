#include "sim/ladder_dut.h"

#include "sim/dut_text.h"

#include <Eigen/Dense>
#include <charconv>
#include <cmath>
#include <limits>
#include <numbers>

namespace sim {

namespace {

using complex = std::complex<double>;
using matrix = Eigen::MatrixXcd;
using column = Eigen::VectorXcd;

// Below this the core's inductance would short the network to nothing; no
// sweep goes there.
constexpr double k_lowest_hz = 1e-3;
constexpr int k_earth = -1;

// The nodal equations Y V = I of the network. Unknown i is node i of the
// ladder (node 0 the driven terminal), unless the far end is earthed; the
// other winding's terminal, when there is one, comes last.
class nodal {
public:
    explicit nodal(int unknowns) : y_(matrix::Zero(unknowns, unknowns)), i_(column::Zero(unknowns))
    {
    }

    // An admittance between two unknowns, or one and earth.
    void connect(int a, int b, complex admittance)
    {
        add(a, a, admittance);
        add(b, b, admittance);
        add(a, b, -admittance);
        add(b, a, -admittance);
    }
    void add(int row, int col, complex value)
    {
        if (row != k_earth && col != k_earth) {
            y_(row, col) += value;
        }
    }
    void inject(int node, complex current) { i_(node) += current; }
    column solve() const { return y_.partialPivLu().solve(i_); }

private:
    matrix y_;
    column i_;
};

class ladder_network {
public:
    ladder_network(const ladder_dut& dut, double hz)
        : d_(dut), n_(dut.sections), s_(0, 2 * std::numbers::pi * std::max(hz, k_lowest_hz)),
          core_(core_impedance()), branches_(branch_admittances())
    {
    }

    fra_response respond() const
    {
        const int ladder_unknowns = d_.end == ladder_dut::far_end::earth ? n_ : n_ + 1;
        const int unknowns = ladder_unknowns + (d_.coupled() ? 1 : 0);
        nodal net(unknowns);
        net.connect(0, k_earth, 1.0 / d_.r_source);
        net.inject(0, 1.0 / d_.r_source); // a generator of 1 V
        add_sections(net);
        net.connect(0, node(n_), s_ * d_.ce);
        const int measured = d_.coupled() ? unknowns - 1 : node(n_);
        if (d_.coupled()) {
            add_other_winding(net, measured);
        } else {
            net.connect(measured, k_earth, 1.0 / d_.r_measure);
        }
        const column v = net.solve();
        const complex input = v(0);
        const complex transfer = v(measured) / input;
        if (!std::isfinite(transfer.real()) || !std::isfinite(transfer.imag())) {
            return {0.0, 1.0};
        }
        return {transfer, input};
    }

private:
    int node(int i) const { return i == n_ && d_.end == ladder_dut::far_end::earth ? k_earth : i; }

    bool moved(int section) const
    {
        return section + 1 >= d_.moved_first && section + 1 <= d_.moved_last;
    }

    complex core_impedance() const
    {
        if (d_.lm <= 0) {
            return 0.0;
        }
        const complex y = 1.0 / (s_ * d_.lm) + s_ * d_.cm + (d_.rc > 0 ? 1.0 / d_.rc : 0.0);
        return 1.0 / y;
    }

    // The inverse of the sections' impedance matrix: resistance, self and
    // mutual inductance, and the core's share, which every pair of sections
    // sees alike.
    matrix branch_admittances() const
    {
        matrix z(n_, n_);
        const double n2 = static_cast<double>(n_) * n_;
        for (int i = 0; i < n_; ++i) {
            for (int j = 0; j < n_; ++j) {
                z(i, j) = s_ * d_.l * std::pow(d_.k, std::abs(i - j)) + core_ / n2 +
                          (i == j ? d_.r : 0.0);
            }
        }
        return z.partialPivLu().inverse();
    }

    void add_sections(nodal& net) const
    {
        for (int i = 0; i < n_; ++i) {
            for (int j = 0; j < n_; ++j) {
                const complex y = branches_(i, j);
                net.add(node(i), node(j), y);
                net.add(node(i + 1), node(j + 1), y);
                net.add(node(i), node(j + 1), -y);
                net.add(node(i + 1), node(j), -y);
            }
            const double cs = d_.cs * (moved(i) ? 1 + d_.moved_cs : 1.0);
            const double cg = d_.cg * (moved(i) ? 1 + d_.moved_cg : 1.0);
            net.connect(node(i), node(i + 1), s_ * cs);
            net.connect(node(i), k_earth, s_ * cg / 2.0);
            net.connect(node(i + 1), k_earth, s_ * cg / 2.0);
        }
    }

    // The other winding's terminal: the measuring impedance, the coupling
    // capacitance spread along the ladder's nodes, and the voltage the core
    // flux induces, (ratio / Zk) (Zc / n) times the sum of the sections'
    // currents, as a current into the terminal beside Zk.
    void add_other_winding(nodal& net, int terminal) const
    {
        net.connect(terminal, k_earth, 1.0 / d_.r_measure);
        for (int i = 0; i <= n_; ++i) {
            net.connect(node(i), terminal, s_ * d_.cc / (n_ + 1.0));
        }
        if (d_.ratio <= 0) {
            return;
        }
        const complex zk = d_.rk + s_ * d_.lk;
        net.connect(terminal, k_earth, 1.0 / zk);
        const complex g = d_.ratio / zk * core_ / static_cast<double>(n_);
        for (int j = 0; j < n_; ++j) {
            const complex sum = branches_.col(j).sum();
            net.add(terminal, node(j), -g * sum);
            net.add(terminal, node(j + 1), g * sum);
        }
    }

    const ladder_dut& d_;
    int n_;
    complex s_;
    complex core_;
    matrix branches_;
};

struct number_field {
    const char* name;
    double ladder_dut::*member;
    double low;
    bool low_included;
    double high = std::numeric_limits<double>::infinity();
};

const number_field k_number_fields[] = {
    {"L", &ladder_dut::l, 0, false},
    {"k", &ladder_dut::k, 0, true, 1},
    {"R", &ladder_dut::r, 0, true},
    {"Cs", &ladder_dut::cs, 0, true},
    {"Cg", &ladder_dut::cg, 0, true},
    {"Lm", &ladder_dut::lm, 0, true},
    {"Cm", &ladder_dut::cm, 0, true},
    {"Rc", &ladder_dut::rc, 0, true},
    {"Ce", &ladder_dut::ce, 0, true},
    {"Cc", &ladder_dut::cc, 0, true},
    {"ratio", &ladder_dut::ratio, 0, true},
    {"Lk", &ladder_dut::lk, 0, true},
    {"Rk", &ladder_dut::rk, 0, true},
    {"Rsrc", &ladder_dut::r_source, 0, false},
    {"Rmeas", &ladder_dut::r_measure, 0, false},
    {"dCg", &ladder_dut::moved_cg, -1, false},
    {"dCs", &ladder_dut::moved_cs, -1, false},
};

std::optional<int> whole_number(std::string_view text)
{
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

bool set_number(ladder_dut& dut, const number_field& field, const std::string& value,
                std::string& error)
{
    const auto v = parse_quantity(value);
    const bool above = v && (field.low_included ? *v >= field.low : *v > field.low);
    if (!above || *v >= field.high) {
        error = std::string(field.name) + " is out of range: " + value;
        return false;
    }
    dut.*field.member = *v;
    return true;
}

bool set_end(ladder_dut& dut, const std::string& value, std::string& error)
{
    if (value == "load") {
        dut.end = ladder_dut::far_end::load;
    } else if (value == "open") {
        dut.end = ladder_dut::far_end::open;
    } else if (value == "earth") {
        dut.end = ladder_dut::far_end::earth;
    } else {
        error = "end must be load, open or earth";
        return false;
    }
    return true;
}

bool set_moved(ladder_dut& dut, const std::string& value, std::string& error)
{
    const auto dash = value.find('-');
    const auto first = whole_number(std::string_view(value).substr(0, dash));
    const auto last =
        dash == std::string::npos ? first : whole_number(std::string_view(value).substr(dash + 1));
    if (!first || !last || *first < 1 || *last < *first) {
        error = "moved must be a section or a range of sections, such as 3-5";
        return false;
    }
    dut.moved_first = *first;
    dut.moved_last = *last;
    return true;
}

bool set_part(ladder_dut& dut, const std::string& name, const std::string& value,
              std::string& error)
{
    if (name == "ladder") {
        const auto n = whole_number(value);
        dut.sections = n && *n >= 1 && *n <= k_ladder_max_sections ? *n : 0;
        if (dut.sections == 0) {
            error = "ladder must be 1 to " + std::to_string(k_ladder_max_sections) + " sections";
        }
        return dut.sections != 0;
    }
    if (name == "end") {
        return set_end(dut, value, error);
    }
    if (name == "moved") {
        return set_moved(dut, value, error);
    }
    for (const auto& field : k_number_fields) {
        if (name == field.name) {
            return set_number(dut, field, value, error);
        }
    }
    error = "unknown part '" + name + "'";
    return false;
}

// What the parts say together: the response is measured somewhere, the
// induced voltage has a core and a path, the moved sections exist.
const char* inconsistency(const ladder_dut& dut)
{
    if (dut.l <= 0) {
        return "L is required";
    }
    if (dut.coupled() == (dut.end == ladder_dut::far_end::load)) {
        return dut.coupled() ? "with Cc or ratio the far end is open or earth"
                             : "end=open and end=earth need Cc or ratio: the response is then "
                               "measured on the other winding";
    }
    if (dut.ratio > 0 && (dut.lm <= 0 || (dut.lk <= 0 && dut.rk <= 0))) {
        return "ratio needs the core inductance Lm and Lk or Rk";
    }
    if (dut.moved_last > dut.sections) {
        return "moved names a section beyond the ladder";
    }
    return nullptr;
}

} // namespace

fra_response ladder_dut::respond(double hz) const
{
    return ladder_network(*this, hz).respond();
}

std::optional<ladder_dut> parse_ladder_dut(std::string_view description, std::string& error)
{
    const auto parts = split_assignments(description, ';');
    if (!parts) {
        error = "expected name=value parts separated by ';'";
        return std::nullopt;
    }
    ladder_dut dut;
    for (const auto& [name, value] : *parts) {
        if (!set_part(dut, name, value, error)) {
            return std::nullopt;
        }
    }
    if (dut.sections == 0) {
        error = "ladder=N is required";
        return std::nullopt;
    }
    if (const char* problem = inconsistency(dut)) {
        error = problem;
        return std::nullopt;
    }
    return dut;
}

} // namespace sim

"""What a script may hand the instrument: values that carry no second
command, values the instrument refuses, values that are no values, and
sweeps read or made without their points."""

import math
import os
import pathlib

import numpy as np
import pytest

import tarvelo2
from conftest import run_cli


@pytest.fixture
def sim(start_sim):
    return start_sim("HXM4100")


@pytest.fixture
def hxm(sim):
    with tarvelo2.connect(lan="127.0.0.1", port=sim.port) as h:
        yield h


@pytest.mark.parametrize("call, kind, says", [
    (lambda h: h.config.set(19, "10\nconfig,18,2"), ValueError, "control character"),
    (lambda h: h.config.set(19, "10;config,18,7"), ValueError, "control character"),
    (lambda h: h.fra_sweep(start="10\nconfig,18,3"), ValueError, "start .* control character"),
    (lambda h: h.fra_sweep(start=-5, steps=3), ValueError, "start .*refused -5"),
    (lambda h: h.fra_sweep(start=float("nan")), ValueError, "start .*finite"),
    (lambda h: h.fra_sweep(stop=math.inf), ValueError, "stop .*finite"),
    (lambda h: h.config.set(19, None), TypeError, "parameter 19 takes .* not NoneType"),
    (lambda h: h.fra_sweep(steps=2**40), ValueError, "steps .*out of range"),
    (lambda h: h.fra_sweep(steps=2.5), ValueError, "steps .*whole number"),
    (lambda h: h.fra_sweep(steps=[3]), TypeError, "steps .*not list"),
    (lambda h: h.config.set(137, 99), ValueError, "parameter 137 refused 99"),
])
def test_refused_values_leave_instrument_and_model_as_they_were(hxm, call, kind, says):
    before = {p: hxm.config.read(p) for p in (18, 19, 137)}
    with pytest.raises(kind, match=says):
        call(hxm)
    assert {p: hxm.config.get(p) for p in before} == before
    assert {p: hxm.config.read(p) for p in before} == before


@pytest.mark.parametrize("settings, shown", [
    (dict(start=20, stop=2e4, steps=7, scale=1), ("20", "20000.0", "7")),
    (dict(start="1.5E2", stop=np.float64(3e3), steps=np.int64(5), scale="log"),
     ("1.5E2", "3000.0", "5")),
])
def test_settings_of_every_kind_cross_in_one_connection(sim, hxm, settings, shown):
    opened = sim.transcript().count("\x14")
    sweep = hxm.fra_sweep(**settings)
    assert len(sweep) == settings["steps"]
    assert tuple(hxm.config.get(p) for p in (19, 20, 18)) == shown
    # one reset for the settings, one for the sweep
    assert sim.transcript().count("\x14") - opened <= 2 + 1


def test_the_command_line_refuses_as_python_does(sim, hxm):
    for value, status in (("10\nconfig,18,2", 2), ("10;config,18,7", 2), ("0", 4)):
        assert run_cli(sim, "config-set", "19", value, check=False)[0] == status
    assert hxm.config.read(18) == "100"


@pytest.mark.parametrize("model, quantity, start, stop", [
    ("HXM4100", None, 5000, 20000),
    ("HXM6300", 3, 5000, 20000),
    ("HXM6300", 4, 5000, 20000),
    ("HXM6300", 0, 20000, 5000),
])
def test_piezo_analyses_the_impedance_whatever_the_layout(start_sim, model, quantity, start, stop):
    sim = start_sim(model)
    with tarvelo2.connect(lan="127.0.0.1", port=sim.port) as h:
        if quantity is not None:
            h.config.set(137, quantity)
        sweep = h.lcr_sweep(start=start, stop=stop, steps=300, scale="linear")
    p = sweep.piezo()
    assert p["fr"] == pytest.approx(10.07e3, rel=0.01)
    assert p["fa"] == pytest.approx(14.2e3, rel=0.01)
    assert p["R"] == pytest.approx(200, rel=0.05)


@pytest.mark.parametrize("fields, layout, says", [
    (9, None, "does not hold an FRA sweep"),
    (7, 2, "does not hold LCR layout 2"),
])
def test_sweep_files_of_the_other_kind_are_refused(folder, fields, layout, says):
    path = pathlib.Path(folder) / "other.dat"
    rows = ("\t".join([str(i + 1), f"{1000 + i}.0"] + ["1"] * (fields - 2)) for i in range(5))
    path.write_text("09-12-2026 - 06:00\r\n" + "\r\n".join(rows), newline="")
    with pytest.raises(ValueError, match=says):
        tarvelo2.read_sweep_file(path, layout=layout)


@pytest.mark.parametrize("kind", [tarvelo2.FraSweep, tarvelo2.LcrSweep])
def test_a_sweep_without_points_is_refused(kind, folder):
    empty = kind.__new__(kind)
    for use in (len, lambda s: s.frequency, lambda s: s.to_sweep_file(os.path.join(folder, "x"))):
        with pytest.raises(TypeError, match="without its points"):
            use(empty)


def test_each_instrument_keeps_its_own_reply_timeout(start_sim):
    """A second instrument with a short timeout leaves a slow first one alone."""
    slow = start_sim("HXM4100", "--fault", "late-reply=300")
    quick = start_sim("HXM6300")
    first = tarvelo2.connect(lan="127.0.0.1", port=slow.port)
    second = tarvelo2.connect(lan="127.0.0.1", port=quick.port, timeout=0.1)
    assert first.config.read(18) == "100"
    assert second.config.read(18) == "100"


def test_fit_finds_the_device_and_refuses_what_it_cannot_fit(start_sim):
    sim = start_sim("HXM6300", "--lcr-dut", "parallel:R=1k,L=10m,C=100n", "--lcr-noise", "0.002")
    with tarvelo2.connect(lan="127.0.0.1", port=sim.port) as h:
        h.config.set(137, 4)  # admittance rows
        sweep = h.lcr_sweep()
    fit = sweep.fit()
    assert fit["model"] == "R-L-C parallel"
    for name, (value, unit) in {"R": (1e3, "Ohm"), "L": (10e-3, "H"), "C": (100e-9, "F")}.items():
        got, uncertainty, got_unit = fit["elements"][name]
        assert (got, got_unit) == (pytest.approx(value, rel=0.005), unit)
        assert 0 < uncertainty < 0.005 * value
    assert fit["fr"] == pytest.approx(5033, rel=0.005)
    assert fit["q"] == pytest.approx(3.162, rel=0.01)
    assert fit["fa"] is None
    between = sweep.fit("rlc-parallel", low_hz=1000, high_hz=20000)
    assert between["elements"]["C"][0] == pytest.approx(100e-9, rel=0.005)
    assert between["residual"] != fit["residual"]
    for model, low_hz, says in (("coil", None, "model must be"),
                                ("resonator", 20000, "No resonance found"),
                                ("rl-series", 1e9, "too few usable points")):
        with pytest.raises(ValueError, match=says):
            sweep.fit(model, low_hz=low_hz)

"""What an engineer expects of the module's objects: finding instruments,
parameters by name, sweeps that pickle, are made from arrays, keep their
date and become pandas tables."""

import datetime
import os
import pickle
import re

import numpy as np
import pytest

import tarvelo2
from test_examples import free_udp_ports


def test_version_discover_and_serial_ports(start_sim):
    assert re.fullmatch(r"\d+\.\d+\.\d+", tarvelo2.__version__)
    ports = free_udp_ports(2)
    sim = start_sim("HXM6300", "--discovery", "127.0.0.1", "--discovery-port-a", str(ports[0]),
                    "--discovery-port-b", str(ports[1]))
    found = tarvelo2.discover(target="127.255.255.255", ports_a=(0, ports[0]), ports_b=(0, ports[1]),
                              port=sim.port)
    assert found == [{"address": "127.0.0.1", "port": sim.port,
                      "identity": "QUELLMARSH,HXM6300,630012,2.04"}]
    assert all(p.startswith("/dev/tty") for p in tarvelo2.serial_ports())


@pytest.mark.parametrize("key, kind, choices, low, high", [
    (18, "integer", None, 2.0, 3000.0),
    ("steps", "integer", None, 2.0, 3000.0),
    ("Start", "text", None, None, None),
    ("Step scale", "list", ["Logarithmic", "Linear"], 0.0, 1.0),
])
def test_parameters_by_name_with_what_they_take(start_sim, key, kind, choices, low, high):
    sim = start_sim("HXM4100")
    with tarvelo2.connect(lan="127.0.0.1", port=sim.port) as hxm:
        assert re.fullmatch(rf"<tarvelo2.Instrument HXM4100 serial \w+ at 127.0.0.1:{sim.port}>",
                            repr(hxm))
        d = hxm.config.describe(key)
        assert (d["kind"], d["choices"], d["min"], d["max"]) == (kind, choices, low, high)
        assert hxm.config.names[d["name"]] == d["id"]
        assert hxm.config.read(key) == hxm.config.read(d["id"])
        with pytest.raises(KeyError, match="no parameter named"):
            hxm.config.get("no such thing")


def test_sweeps_pickle_keep_their_date_and_third_input(start_sim, folder):
    sim = start_sim("HXM6300")
    with tarvelo2.connect(lan="127.0.0.1", port=sim.port) as hxm:
        hxm.config.set(84, 1)  # the third input too
        fra = hxm.fra_sweep(steps=20)
        lcr = hxm.lcr_sweep(steps=20)
    assert np.any(fra.magnitude3 != 0) and len(fra.columns) == 10
    assert fra.columns[:4] == ["Frequency (Hz)", "Magnitude 1", "Magnitude 2", "Gain (dB)"]
    for sweep in (fra, lcr):
        again = pickle.loads(pickle.dumps(sweep))
        assert repr(again) == repr(sweep) and repr(sweep).startswith(
            f"<tarvelo2.{type(sweep).__name__} ")
        assert np.array_equal(again.frequency, sweep.frequency) and again.when == sweep.when
    assert np.array_equal(pickle.loads(pickle.dumps(fra)).delay2, fra.delay2)
    assert np.array_equal(lcr[lcr.headings[0].lower()], lcr[lcr.columns[0]])

    when = datetime.datetime(2026, 12, 9, 6, 0, tzinfo=datetime.timezone.utc)
    made = tarvelo2.FraSweep(frequency=[10.0, 20.0, 30.0], gain_db=np.array([1, 0, -1]),
                             phase_deg=[-90, -120, -150], when=when)
    path = os.path.join(folder, "made.dat")
    made.to_sweep_file(path)
    back = tarvelo2.read_sweep_file(path)
    assert back.when == when and np.array_equal(back.gain_db, [1, 0, -1])


@pytest.mark.parametrize("make, says", [
    (lambda: tarvelo2.FraSweep(frequency=[1, 2], gain_db=[1], phase_deg=[1, 2]), "differ"),
    (lambda: tarvelo2.FraSweep(frequency=[1, 2], gain_db=[1, 2]), "phase_deg"),
    (lambda: tarvelo2.FraSweep(frequency=[1], gain_db=[1], phase_deg=[1], volts=[1]), "volts"),
    (lambda: tarvelo2.LcrSweep(3, frequency=[1]), "no LCR layout 3"),
])
def test_sweeps_from_arrays_refuse_what_is_no_sweep(make, says):
    with pytest.raises((TypeError, ValueError), match=says):
        make()


def test_to_dataframe_heads_the_columns_with_their_units():
    pd = pytest.importorskip("pandas")
    lcr = tarvelo2.LcrSweep(6, frequency=[1e3, 2e3], **{"Z Magnitude": [5, 6]})
    frame = lcr.to_dataframe()
    assert isinstance(frame, pd.DataFrame) and list(frame.columns)[:2] == [
        "Frequency (Hz)", lcr.headings[0]]
    assert list(frame[lcr.headings[2]]) == [5, 6]

"""A measured part judged by a script against a limit set, given as its file
or as a dict, as the line's command does."""

import json
import os
import pathlib

import pytest

import tarvelo2

# The simulator's resonator: fr near 10.07 kHz, fa near 14.2 kHz.
IN_BAND = {"resonance": "fr", "low_hz": 9.9e3, "high_hz": 10.2e3}
BINS = [{"name": "Low", "checks": [{"resonance": "fa", "low_hz": 13e3, "high_hz": 14e3}]},
        {"name": "High", "checks": [{"resonance": "fa", "low_hz": 14e3, "high_hz": 15e3}]}]


@pytest.mark.parametrize("limits, as_file, passed, bin, failed", [
    ({"checks": [IN_BAND], "bins": BINS}, True, True, 2, []),
    ({"checks": [IN_BAND], "bins": BINS}, False, True, 2, []),
    ({"checks": [{"resonance": "fr", "low_hz": 11e3, "high_hz": 12e3},
                 {"quantity": "Impedance", "at_hz": 1, "low": 0, "high": 1}]}, False, False, 0,
     ["fr: 10", "Impedance at 1 Hz: not measured"]),
    ({"bins": BINS[:1]}, True, False, 0, ["bin 1 (Low) fa: 14"]),
])
def test_lcr_sweep_checked_against_limits(start_sim, folder, limits, as_file, passed, bin, failed):
    sim = start_sim("HXM4100")
    with tarvelo2.connect(lan="127.0.0.1", port=sim.port) as hxm:
        sweep = hxm.lcr_sweep(start=5000, stop=20000, steps=300)
    given = limits
    if as_file:
        given = pathlib.Path(folder) / "part.json"
        given.write_text(json.dumps(limits), encoding="utf-8")
    verdict = sweep.check(given)
    assert (verdict.passed, bool(verdict), verdict.bin) == (passed, passed, bin)
    assert verdict.bin_name == (BINS[bin - 1]["name"] if bin else "")
    assert verdict.limits == ("part.json" if as_file else "dict")
    assert len(verdict.failed) == len(failed)
    assert all(text.startswith(start) for text, start in zip(verdict.failed, failed)), verdict.failed


def test_a_limit_set_that_cannot_be_used_raises(folder):
    sweep = tarvelo2.LcrSweep(6, frequency=[1e3, 2e3], **{"Z Magnitude": [5, 6]})
    for limits, says in ((os.path.join(folder, "none.json"), "Unable to read the limit set"),
                         ({"checks": [{"margin": "phase"}]}, r'checks\[0\]: "at_least" is missing')):
        with pytest.raises(ValueError, match=says):
            sweep.check(limits)

"""Transformer assessments from Python: a vector group's plan, as the command
line prints it, and a unit's session compared as the program compares it."""

import os

import numpy as np
import pytest

import tarvelo2
from conftest import run_cli


def test_the_plan_is_the_command_lines():
    plan = tarvelo2.assessment_plan("Dyn11", tap="5")
    _, lines, _ = run_cli(None, "assessment-plan", "--vector-group", "Dyn11")
    assert [line.split("\t") for line in lines] == [
        [s["name"], s["winding"], s["source"], s["measured"], " ".join(s["shorted"]),
         " ".join(s["open"]), " ".join(s["earthed"])] for s in plan]
    assert plan[6]["text"] == ("Source on 1U, response measured on 1V. 2U, 2V and 2W shorted "
                               "together. 1W and 2N left open.")
    with pytest.raises(ValueError, match="Unknown vector group: Dxx"):
        tarvelo2.assessment_plan("Dxx")


def winding(f, low, high):
    """A winding's gain in dB: resonances of quality 8 at low and high."""
    gain = np.zeros_like(f)
    for f0 in (low, high):
        u = f / f0
        gain -= 10 * np.log10((1 - u * u) ** 2 + u * u / 64)
    return gain


def store_unit(db, contract, plan, displaced="", offset=0.0):
    session = db.new_session(contract, "T1", "10/12/2026", "Yard", "A. Ng")
    f = np.geomspace(1e3, 1e6, 400)
    for step in plan:
        low = 17e3 if step["phase"] == "B" else 20e3
        high = 450e3 if step["phase"] == displaced else 300e3
        sweep = tarvelo2.FraSweep(frequency=f, gain_db=winding(f, low, high) + offset,
                                  phase_deg=np.zeros_like(f))
        db.store(session, step["name"], sweep, winding=step["winding"])
    return session


def test_a_unit_is_compared_with_its_fingerprint_a_sister_and_itself(folder):
    plan = tarvelo2.assessment_plan("Dyn11")
    db = tarvelo2.Database.create(os.path.join(folder, "unit.db"))
    unit = store_unit(db, "T1 2026", plan, displaced="C")
    fingerprint = store_unit(db, "T1 2019", plan)
    sister = store_unit(db, "T2 2019", plan, offset=0.5)

    a = tarvelo2.assessment(db, unit, vector_group="Dyn11", fingerprint=fingerprint,
                            sister=sister)
    assert len(a["comparisons"]) == 45 and a["missing"] == [] and a["suspect_phase"] == "C"
    worst = a["comparisons"][a["worst_first"][0]]
    assert worst["verdict"] != "Normal winding"
    first = a["comparisons"][0]
    assert (first["basis"], first["reference"]) == ("Time-based", "T1 2019")
    judged = db.compare(db.tests(fingerprint)[0]["key"], [db.tests(unit)[0]["key"]])[0]
    assert (first["judgement"], first["R_MF"]) == (judged["judgement"], judged["R_MF"])
    sister_row = a["comparisons"][1]
    assert sister_row["basis"] == "Type-based"
    for band in sister_row["bands"].values():
        assert band["correlation"] == pytest.approx(1)
        assert band["max_abs_difference"] == pytest.approx(0.5)

    with pytest.raises(tarvelo2.DatabaseError, match="no session 99"):
        tarvelo2.assessment(db, unit, vector_group="Dyn11", sister=99)
    for refused, message in (({"fingerprint": unit}, "other sessions than its own"),
                             ({"sister": unit}, "other sessions than its own"),
                             ({"fingerprint": -2}, "1 or more, not -2")):
        with pytest.raises(ValueError, match=message):
            tarvelo2.assessment(db, unit, vector_group="Dyn11", **refused)

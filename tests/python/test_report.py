"""tarvelo2.report(): the same PDF reports as tarvelo2-cli report, its
messages raised as tarvelo2.Error and refused arguments as ValueError."""

import os
import subprocess

import numpy as np
import pytest

import tarvelo2
from conftest import CLI


def pdf_text(path):
    return subprocess.run(["pdftotext", "-layout", str(path), "-"], capture_output=True,
                          check=True).stdout.decode()


@pytest.fixture
def database(folder):
    db = tarvelo2.Database.create(os.path.join(folder, "tests.db"))
    session = db.new_session("Contract K7", "Unit 1", "3/4/2026", "Bay", "R. Tester")
    f = np.logspace(0, 6, 61)
    sweep = tarvelo2.FraSweep(frequency=f, gain_db=20 * np.log10(150 / f),
                              phase_deg=45 * np.log10(750 / f))
    db.store(session, "Loop winding", sweep, winding="HV")
    return db.path


@pytest.mark.parametrize("kind, tests, raises, says", [
    ("fra", [1], None, "Loop winding"),
    ("compare", [1], None, "Loop winding"),
    ("fra", [2], tarvelo2.Error, "no test 2"),
    ("fra", [1, 1], ValueError, "maximum of 1 tests"),
    ("polar", [1], ValueError, "usage: report"),
])
def test_report_writes_what_the_command_line_writes(folder, database, kind, tests, raises, says):
    out = os.path.join(folder, "module.pdf")
    if raises:
        with pytest.raises(raises, match=says):
            tarvelo2.report(out, kind=kind, db=database, tests=tests, paper="a4")
        assert not os.path.exists(out)
        return
    pages = tarvelo2.report(out, kind=kind, db=database, tests=tests, paper="a4", points=True)
    by_cli = os.path.join(folder, "cli.pdf")
    subprocess.run([CLI, "report", "--kind", kind, "--db", database, "--tests", "1", "--paper",
                    "a4", "--points", "--out", by_cli], check=True, capture_output=True)
    assert pages >= 1
    assert pdf_text(out) == pdf_text(by_cli)
    assert says in pdf_text(out)


def test_a_missing_command_line_is_an_error(folder, database, monkeypatch):
    monkeypatch.setenv("TARVELO2_CLI", os.path.join(folder, "no-such-program"))
    with pytest.raises(tarvelo2.Error, match="tarvelo2-cli, which could not be started"):
        tarvelo2.report(os.path.join(folder, "r.pdf"), kind="fra", db=database, tests=[1])


def test_an_assessment_is_written_stored_or_refused(folder):
    from test_assessment import store_unit
    plan = tarvelo2.assessment_plan("Dyn11")
    db = tarvelo2.Database.create(os.path.join(folder, "unit.db"))
    unit = store_unit(db, "T1 2026", plan, displaced="C")
    fingerprint = store_unit(db, "T1 2019", plan)
    empty = db.new_session("Empty", "T1", "10/12/2026", "Yard", "A. Ng")
    out = os.path.join(folder, "assessment.pdf")
    asked = dict(kind="assessment", db=db.path, vector_group="Dyn11", fingerprint=fingerprint)
    with pytest.raises(ValueError, match="against other sessions"):
        tarvelo2.report(out, session=fingerprint, **asked)
    with pytest.raises(ValueError, match="nothing to assess"):
        tarvelo2.report(out, session=empty, **asked)
    assert not os.path.exists(out)
    pages = tarvelo2.report(out, session=unit, tap="5", conclusion="Phase C to be inspected",
                            assessed_by="A. Ng", store=True, **asked)
    text = pdf_text(out)
    assert pages >= 15 and "Phase C stands out" in text and "Phase C to be inspected" in text

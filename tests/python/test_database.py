"""The test database from Python and from the command line, both ways."""

import os

import numpy as np
import pytest

import tarvelo2
from conftest import run_cli


def test_a_database_made_in_python_reads_in_the_command_line_and_back(start_sim, folder):
    sim = start_sim("HXM4100")
    path = os.path.join(folder, "py.db")
    db = tarvelo2.Database.create(path)
    session = db.new_session("Contract 7", "T1", "09/12/2026", "Yard", "A. Ng", comments="café")
    with tarvelo2.connect(lan="127.0.0.1", port=sim.port) as hxm:
        sweep = hxm.fra_sweep(steps=80)
    key = db.store(session, "Before", sweep, winding="HV")
    assert db.sessions()[0]["contract"] == "Contract 7" and db.sessions()[0]["comments"] == "café"
    assert [t["name"] for t in db.tests(session)] == ["Before"]

    _, listed, _ = run_cli(None, "db-list", "--db", path)
    assert listed[0].startswith(f"session {session}\tContract 7")
    assert listed[1].startswith(f"  test {key}\tBefore")
    _, shown, _ = run_cli(None, "db-show", "--db", path, str(key))
    points = np.array([[float(v) for v in line.split("\t")] for line in shown])
    assert np.array_equal(points[:, 0], sweep.frequency)
    assert np.array_equal(points[:, 1], sweep.gain_db)
    assert np.array_equal(points[:, 2], sweep.phase_deg)

    # The command line's sweep stored in the same file, read back in Python.
    run_cli(sim, "fra-sweep", "--data", folder, "--db", path, "--session", "Contract 7",
            "--test", "After", "--winding", "HV")
    after = next(t for t in db.tests(session) if t["name"] == "After")
    stored = db.test(after["key"])
    assert stored["winding"] == "HV" and stored["gain_db"].dtype == np.float64
    assert np.array_equal(stored["frequency"], sweep.frequency)

    judged = db.compare(key, [after["key"]])[0]
    _, compared, _ = run_cli(None, "db-compare", "--db", path, str(key), str(after["key"]))
    printed = dict(line.split("\t", 1) for line in compared)
    assert printed["judgement"] == judged["judgement"]
    assert float(printed["correlation"]) == pytest.approx(judged["correlation"], abs=5e-5)
    for band in ("R_LF", "R_MF", "R_HF"):
        r = judged[band]
        assert printed[band] == (f"{r:.2f}" if r is not None else printed[band])

    db.delete_test(after["key"])
    assert [t["name"] for t in db.tests(session)] == ["Before"]
    db.delete_session(session)
    assert db.sessions() == []


def test_a_database_made_by_the_command_line_opens_in_python(folder):
    path = os.path.join(folder, "cli.db")
    run_cli(None, "db-create", path)
    run_cli(None, "db-new-session", "--db", path, "--contract", "CC", "--unit", "UU", "--date",
            "1/2/2025", "--location", "LL", "--performed-by", "PP")
    sessions = tarvelo2.Database(path).sessions()
    assert [(s["contract"], s["date"]) for s in sessions] == [("CC", "2025-02-01")]


def test_database_refusals(folder):
    path = os.path.join(folder, "r.db")
    with pytest.raises(tarvelo2.DatabaseError):
        tarvelo2.Database(os.path.join(folder, "missing.db"))
    with open(os.path.join(folder, "text.db"), "w") as f:
        f.write("not a database")
    with pytest.raises(tarvelo2.DatabaseError):
        tarvelo2.Database(os.path.join(folder, "text.db"))
    db = tarvelo2.Database.create(path)
    with pytest.raises(tarvelo2.DatabaseError, match="exists"):
        tarvelo2.Database.create(path)
    with pytest.raises(ValueError):
        db.new_session("CC", "UU", "31/02/2025", "LL", "PP")
    with pytest.raises(ValueError):
        db.new_session("CC", "UU", "1/1/2025", "LL", "PP", comments="\u20ac\u4e2d")
    with pytest.raises(tarvelo2.DatabaseError):
        db.test(42)
    session = db.new_session("CC", "UU", "1/1/2025", "LL", "PP")
    with pytest.raises(ValueError):  # a stored test needs a name, a winding and its session
        db.store(session, "", sweep_of(folder), winding="HV")
    with pytest.raises(ValueError):
        db.store(session + 1, "N", sweep_of(folder), winding="HV")
    assert db.tests(session) == []


def sweep_of(folder):
    path = os.path.join(folder, "s.dat")
    with open(path, "w") as f:
        f.write("09-12-2026 - 06:00\r\n1\t10.0000\t1.0E+000\t1.0E+000\t0.0E+000\t0.0E+000\t0.0E+000")
    return tarvelo2.read_sweep_file(path)

"""The examples shipped with the module, run as a user runs them against an
instrument: each ends with status 0 and leaves the file it names."""

import os
import subprocess
import sys

import pytest

EXAMPLES = os.path.join(os.path.dirname(__file__), "..", "..", "python", "examples")


@pytest.mark.parametrize("example, extra, written, says", [
    ("resonator.py", ["--out", "r.s1p"], "r.s1p", "fr = "),
    ("bode_margins.py", ["--out", "b.png"], "b.png", "phase margin"),
    ("repeating_series.py", ["--db", "s.db", "--count", "2", "--interval", "0.1"], "s.db",
     "Sweep 2: "),
])
def test_each_example_runs_against_an_instrument(start_sim, folder, example, extra, written,
                                                 says):
    if example == "bode_margins.py":
        pytest.importorskip("matplotlib")
    sim = start_sim("HXM6300")
    run = subprocess.run(
        [sys.executable, os.path.join(EXAMPLES, example), "--lan", "127.0.0.1", "--port",
         str(sim.port), *extra], cwd=folder, capture_output=True, text=True, timeout=300)
    assert run.returncode == 0, run.stderr
    assert says in run.stdout, run.stdout
    assert os.path.getsize(os.path.join(folder, written)) > 0

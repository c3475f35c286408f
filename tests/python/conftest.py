"""Fixtures of the module's tests: hxm-sim on a free loopback port, and
tarvelo2-cli pointed at it, so the module's results can be held against
what the command line prints for the same instrument."""

import os
import subprocess
import tempfile

import pytest

SIM = os.environ.get("HXM_SIM", "hxm-sim")
CLI = os.environ.get("TARVELO_CLI", "tarvelo2-cli")


class Simulator:
    """One hxm-sim process; stops with the test."""

    def __init__(self, model, folder, *extra):
        self.log = os.path.join(folder, f"sim-{model}.log")
        self.process = subprocess.Popen(
            [SIM, "--model", model, "--tcp", "127.0.0.1:0", "--log", self.log, *extra],
            stdout=subprocess.PIPE, text=True)
        line = self.process.stdout.readline()
        assert line.startswith("listening tcp 127.0.0.1:"), line
        self.port = int(line.rsplit(":", 1)[1])
        self.model = model

    def transcript(self):
        with open(self.log, encoding="latin-1") as f:
            return f.read()

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=30)
        self.process.stdout.close()


@pytest.fixture
def folder():
    with tempfile.TemporaryDirectory(prefix="tarvelo-py-") as d:
        yield d


@pytest.fixture
def start_sim(folder):
    started = []

    def start(model="HXM4100", *extra):
        sim = Simulator(model, folder, "--time-scale", "0", *extra)
        started.append(sim)
        return sim

    yield start
    for sim in started:
        sim.stop()


@pytest.fixture(params=["HXM4100", "HXM6300"])
def sim(request, start_sim):
    return start_sim(request.param)


def run_cli(sim, *args, check=True):
    """tarvelo2-cli against the simulator: (status, stdout lines, stderr)."""
    command = [CLI, *(["--lan", "127.0.0.1", "--port", str(sim.port)] if sim else []), *args]
    r = subprocess.run(command, capture_output=True, env={**os.environ, "LC_ALL": "C"},
                       timeout=300)
    out = r.stdout.decode("cp1252").splitlines()
    err = r.stderr.decode("cp1252")
    if check:
        assert r.returncode == 0, err
    return r.returncode, out, err

"""Waiting on instruments: two instruments on two threads at once, and
Ctrl-C cancelling a sweep."""

import os
import signal
import subprocess
import sys
import threading
import time

import pytest

import tarvelo2
from conftest import Simulator


def test_two_instruments_sweep_at_once_on_two_threads(folder):
    # Sweeps of some seconds each: without the GIL released while one waits,
    # the other could not start before it ended.
    sims = [Simulator(m, folder, "--time-scale", "3") for m in ("HXM4100", "HXM6300")]
    spans, results, errors = {}, {}, []

    def sweep(sim):
        try:
            with tarvelo2.connect(lan="127.0.0.1", port=sim.port) as hxm:
                began = time.monotonic()
                results[sim.model] = hxm.fra_sweep(steps=50)
                spans[sim.model] = (began, time.monotonic())
        except Exception as e:  # reported below, on the test's thread
            errors.append(e)

    try:
        threads = [threading.Thread(target=sweep, args=(s,)) for s in sims]
        for t in threads:
            t.start()
        for t in threads:
            t.join()
    finally:
        for s in sims:
            s.stop()
    assert not errors, errors
    assert [len(results[m]) for m in ("HXM4100", "HXM6300")] == [50, 50]
    (a0, a1), (b0, b1) = spans.values()
    assert max(a0, b0) < min(a1, b1), "the sweeps ran one after the other"


SCRIPT = """
import sys, time, tarvelo2
hxm = tarvelo2.connect(lan="127.0.0.1", port=int(sys.argv[1]))
print("waiting", flush=True)
try:
    %s
    print("completed", flush=True)
except KeyboardInterrupt:
    print("interrupted", time.monotonic(), flush=True)
print("steps", hxm.config.read(18), flush=True)
"""


@pytest.mark.parametrize("slow, call, busy, after", [
    (["--time-scale", "20"], "hxm.fra_sweep(steps=100)", "DAV?", "gainph,sweep?"),
    (["--fault", "late-reply=400"], "hxm.config.read_all()", "SUSPEN,ON", "config,1?"),
])
def test_ctrl_c_ends_a_wait_within_a_second_and_leaves_the_instrument_idle(folder, slow, call,
                                                                            busy, after):
    sim = Simulator("HXM4100", folder, *slow)
    try:
        script = subprocess.Popen([sys.executable, "-c", SCRIPT % call, str(sim.port)],
                                  stdout=subprocess.PIPE, text=True, env=os.environ)
        assert script.stdout.readline() == "waiting\n"
        deadline = time.monotonic() + 60
        while busy not in sim.transcript() and time.monotonic() < deadline:
            time.sleep(0.05)
        sent = time.monotonic()
        script.send_signal(signal.SIGINT)
        word, when = script.stdout.readline().split()
        assert word == "interrupted"
        assert float(when) - sent < 1.0
        assert script.stdout.readline() == "steps 100\n"  # the instrument answers again
        assert script.wait(timeout=30) == 0
        script.stdout.close()
        log = sim.transcript()
        assert after not in log.split(busy, 1)[1]  # nothing more of it after the cancel
    finally:
        sim.stop()

"""Python-side timings of the module: a 3000-point sweep's arrays after the
sweep, and a 3000-point stored test read into arrays.

    PYTHONPATH=build /usr/bin/python3 bench/python/python_timings.py build/sim/hxm-sim
"""

import os
import subprocess
import sys
import tempfile
import time

import tarvelo2

REPEATS = 200


def best_of(action):
    best = float("inf")
    for _ in range(REPEATS):
        began = time.perf_counter()
        action()
        best = min(best, time.perf_counter() - began)
    return best * 1e3


def main():
    sim = subprocess.Popen([sys.argv[1], "--tcp", "127.0.0.1:0", "--time-scale", "0"],
                           stdout=subprocess.PIPE, text=True)
    port = int(sim.stdout.readline().rsplit(":", 1)[1])
    try:
        with tarvelo2.connect(lan="127.0.0.1", port=port) as hxm:
            sweep = hxm.fra_sweep(steps=3000)
        assert len(sweep) == 3000
        columns = best_of(lambda: [sweep.frequency, sweep.magnitude1, sweep.magnitude2,
                                        sweep.gain_db, sweep.phase_deg, sweep.delay])
        print(f"sweep of {len(sweep)} points, its six arrays:\t{columns:.3f} ms\t(target 1 ms)")
        with tempfile.TemporaryDirectory() as d:
            db = tarvelo2.Database.create(os.path.join(d, "t.db"))
            session = db.new_session("Bench", "U1", "01/01/2026", "Lab", "PP")
            key = db.store(session, "Sweep", sweep, winding="HV")
            ms = best_of(lambda: db.test(key))
            print(f"stored test of {len(db.test(key)['frequency'])} points into arrays:\t"
                  f"{ms:.3f} ms\t(target 2 ms)")
    finally:
        sim.terminate()
        sim.wait()


if __name__ == "__main__":
    main()

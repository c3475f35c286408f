"""A repeating series of FRA sweeps stored in a test database, each judged
against the first as a transformer winding.

    python3 repeating_series.py [--lan HOST] [--port PORT] [--db series.db]
                                [--count 3] [--interval 1.0]
"""

import argparse
import datetime
import os
import time

import tarvelo2


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--lan", default="127.0.0.1")
    ap.add_argument("--port", type=int, default=10001)
    ap.add_argument("--db", default="series.db")
    ap.add_argument("--count", type=int, default=3)
    ap.add_argument("--interval", type=float, default=1.0, help="seconds between sweeps")
    args = ap.parse_args()

    db = tarvelo2.Database(args.db) if os.path.exists(args.db) else tarvelo2.Database.create(args.db)
    today = datetime.date.today().strftime("%d/%m/%Y")
    session = db.new_session("Series", "T1", today, "Bench", "script")
    keys = []
    with tarvelo2.connect(lan=args.lan, port=args.port) as hxm:
        for n in range(1, args.count + 1):
            sweep = hxm.fra_sweep(start=1e3, stop=1e6, steps=200, scale="log")
            keys.append(db.store(session, f"Sweep {n}", sweep, winding="HV"))
            print(f"stored test {keys[-1]}: sweep {n} of {args.count}, {len(sweep)} points")
            if n < args.count:
                time.sleep(args.interval)
    for judged in db.compare(keys[0], keys[1:]):
        print(f"{judged['name']}: {judged['judgement']}, correlation {judged['correlation']:.4f}, "
              f"mean |difference| {judged['mean_abs_difference']:.3f} dB")
    print("database:", args.db, "session", session, "tests", keys)


if __name__ == "__main__":
    main()

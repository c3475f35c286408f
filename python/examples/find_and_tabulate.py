"""Finds the instruments on the network, reads their sweep settings by name
and puts a short FRA sweep of each into one pandas table.

    python3 find_and_tabulate.py [--target ADDR] [--search-ports A,B]
                                 [--port PORT] [--out sweeps.csv]
"""

import argparse
import sys

import pandas as pd

import tarvelo2


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--target", help="the search's broadcast address (default: every host)")
    ap.add_argument("--search-ports", help="the instruments' ports of the two search methods, A,B")
    ap.add_argument("--port", type=int, default=10001, help="the instruments' TCP port")
    ap.add_argument("--out", default="sweeps.csv")
    args = ap.parse_args()

    search = {"port": args.port}
    if args.target:
        search["target"] = args.target
    if args.search_ports:
        a, b = (int(p) for p in args.search_ports.split(","))
        search.update(ports_a=(0, a), ports_b=(0, b))
    found = tarvelo2.discover(**search)
    if not found:
        print("no instrument answered", file=sys.stderr)
        return 3

    tables = []
    for instrument in found:
        print(f"{instrument['address']}: {instrument['identity']}")
        with tarvelo2.connect(lan=instrument["address"], port=instrument["port"]) as hxm:
            for name in ("Start", "End", "Steps", "Step scale"):
                print(f"  {name} = {hxm.config.read(name)}")
            steps = hxm.config.describe("Steps")
            print(f"  Steps may be {steps['min']:.0f} to {steps['max']:.0f}")
            sweep = hxm.fra_sweep(start=100, stop=10e3, steps=40, scale="log")
        table = sweep.to_dataframe()
        table.insert(0, "Instrument", instrument["identity"])
        tables.append(table)

    together = pd.concat(tables, ignore_index=True)
    print(together.groupby("Instrument")[["Gain (dB)", "Phase (\N{DEGREE SIGN})"]].agg(["min", "max"]))
    together.to_csv(args.out, index=False)
    print("table:", args.out)
    return 0


if __name__ == "__main__":
    sys.exit(main())

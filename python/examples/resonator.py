"""A piezoelectric resonator characterised from an LCR sweep: its
equivalent circuit, and the sweep as a Touchstone file.

    python3 resonator.py [--lan HOST] [--port PORT] [--out resonator.s1p]
"""

import argparse

import numpy as np

import tarvelo2


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--lan", default="127.0.0.1")
    ap.add_argument("--port", type=int, default=10001)
    ap.add_argument("--out", default="resonator.s1p")
    args = ap.parse_args()

    with tarvelo2.connect(lan=args.lan, port=args.port) as hxm:
        sweep = hxm.lcr_sweep(start=5e3, stop=20e3, steps=400, scale="linear")
    z = np.abs(sweep.impedance)
    print(f"{len(sweep)} points, layout {sweep.layout}: {', '.join(sweep.columns)}")
    print(f"|Z| from {z.min():.1f} ohms at {sweep.frequency[z.argmin()]:.0f} Hz "
          f"to {z.max():.0f} ohms at {sweep.frequency[z.argmax()]:.0f} Hz")
    p = sweep.piezo()
    print(f"R  = {p['R']:.2f} ohms")
    print(f"L  = {p['L'] * 1e3:.3f} mH")
    print(f"C  = {p['C'] * 1e9:.4f} nF")
    print(f"Cp = {p['Cp'] * 1e9:.4f} nF")
    print(f"fr = {p['fr']:.1f} Hz, fa = {p['fa']:.1f} Hz, Q = "
          f"{2 * np.pi * p['fr'] * p['L'] / p['R']:.1f}")
    sweep.to_touchstone(args.out)
    print("touchstone:", args.out)


if __name__ == "__main__":
    main()

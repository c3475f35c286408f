"""A Bode sweep with its gain and phase margins, plotted with matplotlib.

    python3 bode_margins.py [--lan HOST] [--port PORT] [--out bode.png]
"""

import argparse

import matplotlib

matplotlib.use("Agg")  # draws into a file; no display needed
import matplotlib.pyplot as plt

import tarvelo2


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--lan", default="127.0.0.1")
    ap.add_argument("--port", type=int, default=10001)
    ap.add_argument("--out", default="bode.png")
    args = ap.parse_args()

    with tarvelo2.connect(lan=args.lan, port=args.port) as hxm:
        print("instrument:", hxm.identity["model"], hxm.identity["serial"])
        sweep = hxm.fra_sweep(start=10, stop=100e3, steps=200, scale="log")
    margins = sweep.margins()
    print(f"{len(sweep)} points, {sweep.frequency[0]:g} Hz to {sweep.frequency[-1]:g} Hz")
    print(margins["summary"])

    fig, (gain, phase) = plt.subplots(2, 1, sharex=True, figsize=(8, 6))
    gain.semilogx(sweep.frequency, sweep.gain_db)
    phase.semilogx(sweep.frequency, sweep.phase_deg, color="tab:orange")
    gain.axhline(0, color="grey", lw=0.8)
    phase.axhline(0, color="grey", lw=0.8)
    for c in margins["zero_db"]:
        gain.axvline(c["frequency"], color="tab:red", ls="--", lw=0.8)
        phase.annotate(f"{c['phase_deg']:.1f}\N{DEGREE SIGN} at {c['frequency']:.0f} Hz",
                       (c["frequency"], c["phase_deg"]), textcoords="offset points",
                       xytext=(5, 5))
    for c in margins["zero_phase"]:
        phase.axvline(c["frequency"], color="tab:green", ls="--", lw=0.8)
        gain.annotate(f"{c['gain_db']:.1f} dB at {c['frequency']:.0f} Hz",
                      (c["frequency"], c["gain_db"]), textcoords="offset points", xytext=(5, 5))
    gain.set_ylabel("Gain (dB)")
    phase.set_ylabel("Phase (\N{DEGREE SIGN})")
    phase.set_xlabel("Frequency (Hz)")
    gain.set_title("Loop gain and margins")
    gain.grid(True, which="both", alpha=0.3)
    phase.grid(True, which="both", alpha=0.3)
    fig.tight_layout()
    fig.savefig(args.out, dpi=100)
    print("plot:", args.out)


if __name__ == "__main__":
    main()

"""An instrument from Python: identity, configuration, sweeps and their
results, each held against the program's own command line."""

import os
import resource
import signal
import socket
import threading
import time

import numpy as np
import pytest

import tarvelo2
from conftest import run_cli
from touchstone import read_touchstone


def scientific5(x):
    """A number as the program prints it: "%.5E" with three exponent digits."""
    mantissa, exponent = f"{x:.5E}".split("E")
    return f"{mantissa}E{exponent[0]}{int(exponent[1:]):03d}"


def program_rows(frequency, *columns):
    return [
        "\t".join([str(i + 1), f"{f:.4f}", *(scientific5(c[i]) for c in columns)])
        for i, f in enumerate(frequency)
    ]


def test_identity_and_configuration_of_both_models(sim):
    with tarvelo2.connect(lan="127.0.0.1", port=sim.port, timeout=5) as hxm:
        who = hxm.identity
        assert who["model"] == sim.model
        assert who["type_code"] == (9 if sim.model == "HXM6300" else 7)
        assert who["serial"] and who["firmware"] and sim.model in who["text"]
        cfg = hxm.config
        assert cfg.read(18) == "100"  # the factory sweep's steps
        cfg.set(18, 25)
        assert cfg.get(18) == "25" and cfg.read(18) == "25"
        with pytest.raises(ValueError, match="refused"):
            cfg.set(18, 5000)  # more steps than a sweep may have
        with pytest.raises(ValueError, match="no parameter 400"):
            cfg.get(400)
        with pytest.raises(ValueError, match="whole number"):
            cfg.set(18, "many")
        cfg.read_all()
        block = cfg.text_block()
        assert block.splitlines()[0] and "25" in block
        cfg.write_all()
        assert cfg.read(18) == "25"


def test_fra_sweep_arrays_are_what_the_command_line_prints(sim, folder):
    with tarvelo2.connect(lan="127.0.0.1", port=sim.port) as hxm:
        sweep = hxm.fra_sweep(start=20, stop=20000, steps=150, scale="log")
    columns = [sweep.frequency, sweep.magnitude1, sweep.magnitude2, sweep.gain_db,
               sweep.phase_deg, sweep.delay]
    assert len(sweep) == 150 and all(c.dtype == np.float64 and c.shape == (150,) for c in columns)
    assert sweep.frequency[0] == pytest.approx(20) and sweep.frequency[-1] == pytest.approx(20000)
    _, printed, _ = run_cli(sim, "fra-sweep", "--data", folder)
    assert program_rows(*columns) == printed

    # Margins as the command line finds them from the same sweep file.
    sweep.to_sweep_file(os.path.join(folder, "py.dat"))
    with open(os.path.join(folder, "py.dat"), "rb") as f:
        assert f.read().split(b"\r\n")[1:] == [r.encode() for r in printed]
    _, margins, _ = run_cli(None, "fra-margins", "--from-sweep-file", os.path.join(folder, "py.dat"))
    again = tarvelo2.read_sweep_file(os.path.join(folder, "py.dat"))
    assert np.allclose(again.gain_db, sweep.gain_db, rtol=1e-5, atol=1e-9)
    found = again.margins()
    reports = [found["zero_db_report"], found["zero_phase_report"], found["summary"]]
    assert "\n".join(reports) == "\n".join(margins)
    crossing = sweep.margins()["zero_db"][0]
    assert crossing["frequency"] == pytest.approx(500, rel=0.2) and crossing["gain_db"] == 0


def test_lcr_sweep_columns_piezo_and_touchstone(sim, folder):
    with tarvelo2.connect(lan="127.0.0.1", port=sim.port) as hxm:
        sweep = hxm.lcr_sweep(start=5000, stop=20000, steps=300)
    _, printed, _ = run_cli(sim, "lcr-sweep", "--data", folder)
    headings, rows = printed[0].split("\t"), printed[1:]
    assert sweep.columns == [h.split(" (")[0] for h in headings[2:]]
    columns = [sweep[name] for name in sweep.columns]
    assert program_rows(sweep.frequency, *columns) == rows

    piezo = sweep.piezo()  # the simulator's resonator: 200 ohms, 0.1 H, 2.5 nF, 2.5 nF
    assert piezo["R"] == pytest.approx(200, rel=0.05)
    assert piezo["L"] == pytest.approx(0.1, rel=0.05)
    assert piezo["C"] == pytest.approx(2.5e-9, rel=0.05)
    assert piezo["Cp"] == pytest.approx(2.5e-9, rel=0.05)
    assert piezo["fr"] == pytest.approx(10.07e3, rel=0.01)
    assert piezo["fa"] == pytest.approx(14.2e3, rel=0.01)

    z = sweep.impedance
    for parameter, z0 in (("s", 50.0), ("z", 75.0)):
        path = os.path.join(folder, f"res-{parameter}.s1p")
        sweep.to_touchstone(path, parameter=parameter, z0=z0)
        read = read_touchstone(path)
        assert (read.parameter, read.format, read.r) == (parameter.upper(), "RI", z0)
        expected = (z - z0) / (z + z0) if parameter == "s" else z / z0
        assert np.allclose(read.hz, sweep.frequency, rtol=1e-9)
        assert np.allclose(read.values, expected, rtol=1e-8, atol=1e-9)
        assert any(sim.model in c for c in read.comments)


def test_refusals_are_exceptions_with_the_programs_messages(start_sim, folder):
    sim = start_sim("HXM4100")
    with pytest.raises(tarvelo2.LinkError):
        tarvelo2.connect(lan="127.0.0.1", port=1, timeout=1)
    with pytest.raises(ValueError, match="one of lan"):
        tarvelo2.connect(lan="127.0.0.1", serial="/dev/null")
    hxm = tarvelo2.connect(lan="127.0.0.1", port=sim.port)
    with pytest.raises(TypeError, match="unknown sweep setting"):
        hxm.fra_sweep(begin=10)
    sweep = hxm.lcr_sweep()
    with pytest.raises(ValueError, match='"s" or "z"'):
        sweep.to_touchstone(os.path.join(folder, "x.s1p"), parameter="y")
    with pytest.raises(ValueError, match="reference resistance"):
        sweep.to_touchstone(os.path.join(folder, "x.s1p"), z0=0)
    with pytest.raises(OSError):
        sweep.to_touchstone(os.path.join(folder, "no", "such", "x.s1p"))
    with pytest.raises(OSError):
        tarvelo2.read_sweep_file(os.path.join(folder, "missing.dat"))
    sim.stop()
    with pytest.raises(tarvelo2.LinkError) as lost:
        hxm.fra_sweep()
    assert "connection" in str(lost.value).lower()
    assert issubclass(tarvelo2.LinkError, tarvelo2.Error)


def test_realtime_readings_and_the_screen(sim):
    with tarvelo2.connect(lan="127.0.0.1", port=sim.port) as hxm:
        with hxm.fra_realtime() as readings:
            taken = [next(readings) for _ in range(3)]
            with pytest.raises(tarvelo2.InstrumentError, match="Realtime readings are running"):
                hxm.config.read(18)
        assert all(r.dtype == np.float64 and r.shape == (6,) and r[0] > 0 for r in taken)
        assert hxm.config.read(18) == "100"  # the instrument is free again
        for reading in hxm.lcr_realtime():
            assert reading.shape in ((11,), (14,)) and reading[0] > 0
            break
        if sim.model == "HXM4100":  # its screen cannot be fetched
            with pytest.raises(tarvelo2.InstrumentError):
                hxm.screen()
        else:
            screen = hxm.screen()
            assert screen.dtype == np.uint8 and screen.shape in ((240, 320), (272, 480))
            assert 0 < screen.sum() < screen.size  # something is drawn on a background


def test_timeout_bounds_each_reply_after_identification():
    """An instrument that answers "*IDN?" and nothing else: a read fails after
    the timeout given, not the default five seconds; timeouts that are no
    number of seconds are refused."""
    server = socket.socket()
    server.bind(("127.0.0.1", 0))
    server.listen(4)
    held = []

    def answer_identity_only():
        while True:
            try:
                conn, _ = server.accept()
            except OSError:
                return
            held.append(conn)
            asked = b""
            while b"*IDN?" not in asked and (part := conn.recv(64)):
                asked += part
            if b"*IDN?" in asked:
                conn.sendall(b"QUELLMARSH,HXM4100,SN1,1.00\r\n")

    threading.Thread(target=answer_identity_only, daemon=True).start()
    port = server.getsockname()[1]
    for timeout in (0, -1, float("nan"), 1e12):
        with pytest.raises(ValueError, match="timeout"):
            tarvelo2.connect(lan="127.0.0.1", port=port, timeout=timeout)
    try:
        hxm = tarvelo2.connect(lan="127.0.0.1", port=port, timeout=0.3)
        started = time.monotonic()
        with pytest.raises(tarvelo2.LinkError, match="timed out"):
            hxm.config.read(19)
        assert time.monotonic() - started < 2.5
    finally:
        server.close()
        for conn in held:
            conn.close()


def test_failed_writes_keep_the_files_they_would_replace(folder):
    """A write that fails part way (the file size limit here) raises OSError,
    leaves the file it would have replaced as it was and no temporary file."""
    source = os.path.join(folder, "source.dat")
    rows = (f"{i + 1}\t{1000 + i}.0000\t1\t1\t50\t-30\t1\t1\t1" for i in range(200))
    with open(source, "w", newline="") as f:
        f.write("09-12-2026 - 06:00\r\n" + "\r\n".join(rows))
    sweep = tarvelo2.read_sweep_file(source, layout=2)
    kept = os.path.join(folder, "kept")
    limits = resource.getrlimit(resource.RLIMIT_FSIZE)
    ignored = signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
    try:
        for write in (sweep.to_sweep_file, sweep.to_touchstone):
            with open(kept, "w") as f:
                f.write("before")
            resource.setrlimit(resource.RLIMIT_FSIZE, (2000, limits[1]))
            try:
                with pytest.raises(OSError, match="could not be written"):
                    write(kept)
            finally:
                resource.setrlimit(resource.RLIMIT_FSIZE, limits)
            with open(kept) as f:
                assert f.read() == "before", write.__name__
            assert sorted(os.listdir(folder)) == ["kept", "source.dat"], write.__name__
    finally:
        signal.signal(signal.SIGXFSZ, ignored)

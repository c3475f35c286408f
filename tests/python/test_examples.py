"""The examples shipped with the module, run as a user runs them against an
instrument: each ends with status 0 and leaves the file it names."""

import os
import socket
import subprocess
import sys

import pytest


def free_udp_ports(count):
    sockets = [socket.socket(socket.AF_INET, socket.SOCK_DGRAM) for _ in range(count)]
    for s in sockets:
        s.bind(("127.0.0.1", 0))
    ports = [s.getsockname()[1] for s in sockets]
    for s in sockets:
        s.close()
    return ports

EXAMPLES = os.path.join(os.path.dirname(__file__), "..", "..", "python", "examples")


@pytest.mark.parametrize("example, extra, written, says", [
    ("resonator.py", ["--out", "r.s1p"], "r.s1p", "fr = "),
    ("bode_margins.py", ["--out", "b.png"], "b.png", "phase margin"),
    ("repeating_series.py", ["--db", "s.db", "--count", "2", "--interval", "0.1"], "s.db",
     "Sweep 2: "),
    ("find_and_tabulate.py", ["--target", "127.255.255.255", "--out", "t.csv"], "t.csv",
     "Steps may be 2 to 3000"),
])
def test_each_example_runs_against_an_instrument(start_sim, folder, example, extra, written,
                                                 says):
    needs = {"bode_margins.py": "matplotlib", "find_and_tabulate.py": "pandas"}
    if example in needs:
        pytest.importorskip(needs[example])
    search = free_udp_ports(2) if example == "find_and_tabulate.py" else []
    sim = start_sim("HXM6300", *(["--discovery", "127.0.0.1", "--discovery-port-a",
                                  str(search[0]), "--discovery-port-b", str(search[1])]
                                 if search else []))
    where = ["--search-ports", f"{search[0]},{search[1]}"] if search else ["--lan", "127.0.0.1"]
    run = subprocess.run(
        [sys.executable, os.path.join(EXAMPLES, example), *where, "--port", str(sim.port),
         *extra], cwd=folder, capture_output=True, text=True, timeout=300)
    assert run.returncode == 0, run.stderr
    assert says in run.stdout, run.stdout
    assert os.path.getsize(os.path.join(folder, written)) > 0


@pytest.mark.parametrize("prefix, folder_below", [
    ("{home}/.local", "lib/python3.{minor}/site-packages"),
    ("/usr", "lib/python3/dist-packages"),
])
def test_an_install_lands_where_debians_python_looks(folder, prefix, folder_below):
    """Installed to a user prefix the module imports with no PYTHONPATH; the
    package's prefix puts it in Debian's own folder."""
    build = os.environ.get("TARVELO_BUILD")
    if not build:
        pytest.skip("not run from the build folder's CTest")
    prefix = prefix.format(home=folder)
    stage = os.path.join(folder, "stage") if prefix == "/usr" else ""
    subprocess.run([os.environ.get("CMAKE", "cmake"), "--install", build, "--component",
                    "python", "--prefix", prefix], check=True, capture_output=True,
                   env={**os.environ, "DESTDIR": stage})
    below = os.path.join(stage + prefix, folder_below.format(minor=sys.version_info[1]))
    assert sorted(f.split(".")[-1] for f in os.listdir(below)) == ["pyi", "so"]
    if not stage:
        env = {k: v for k, v in os.environ.items() if k != "PYTHONPATH"}
        found = subprocess.run(["/usr/bin/python3", "-c", "import tarvelo2; print(tarvelo2.__file__)"],
                               env={**env, "HOME": folder}, cwd="/", capture_output=True, text=True)
        assert found.stdout.startswith(below), found.stderr

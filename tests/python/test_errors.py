"""Errors a script can act on: the command line's texts for a connection
that fails, LinkError for an instrument out of reach, and a database that
lets other threads run while it waits on a lock."""

import os
import sqlite3
import threading
import time

import pytest

import tarvelo2
from conftest import run_cli


@pytest.mark.parametrize("where, says", [
    (dict(lan="127.0.0.1", port=1), "Failed to connect to IP address 127.0.0.1"),
    (dict(lan="no.such.host"), "Failed to connect to IP address no.such.host"),
    (dict(serial="/dev/ttyUSB9"), "Unable to open port /dev/ttyUSB9"),
])
def test_connection_failures_say_what_the_command_line_says(where, says):
    with pytest.raises(tarvelo2.LinkError) as failed:
        tarvelo2.connect(**where)
    assert str(failed.value) == says
    cli = ["--lan", where["lan"], "--port", str(where.get("port", 10001))] if "lan" in where \
        else ["--serial", where["serial"]]
    _, _, err = run_cli(None, *cli, "send", "*IDN?", check=False)
    assert f"] {says}" in err


@pytest.mark.parametrize("call", [
    lambda h: h.config.read_all(),
    lambda h: h.config.write_all(),
    lambda h: h.config.read(18),
])
def test_an_instrument_out_of_reach_is_a_link_error(start_sim, call):
    sim = start_sim("HXM4100")
    hxm = tarvelo2.connect(lan="127.0.0.1", port=sim.port)
    sim.stop()
    with pytest.raises(tarvelo2.LinkError, match="^Failed to connect to IP address 127.0.0.1$"):
        call(hxm)


@pytest.mark.parametrize("call, kind, says", [
    (lambda db, hxm: db.delete_test(999), tarvelo2.DatabaseError, "The database holds no test 999"),
    (lambda db, hxm: db.delete_session(7), tarvelo2.DatabaseError,
     "The database holds no session 7"),
    (lambda db, hxm: hxm.fra_sweep(), tarvelo2.LinkError, "connection to the instrument was lost"),
])
def test_messages_say_what_failed_once_and_not_what_a_window_shows(start_sim, folder, call, kind,
                                                                  says):
    sim = start_sim("HXM4100", "--fault", "disconnect-on=gainph,sweep?")  # lost mid-sweep
    hxm = tarvelo2.connect(lan="127.0.0.1", port=sim.port)
    db = tarvelo2.Database.create(os.path.join(folder, "t.db"))
    with pytest.raises(kind, match=says) as failed:
        call(db, hxm)
    lines = str(failed.value).splitlines()
    assert len(lines) == len(set(lines))
    assert not any(window in str(failed.value) for window in ("Please select",
                                                               "previous results"))


def test_a_locked_database_lets_other_threads_run(folder):
    path = os.path.join(folder, "locked.db")
    db = tarvelo2.Database.create(path)
    holder = sqlite3.connect(path, isolation_level=None)
    holder.execute("BEGIN EXCLUSIVE")
    failed = []

    def store():
        try:
            db.new_session("Contract", "Unit", "09/12/2026", "Lab", "me")
        except tarvelo2.DatabaseError as e:
            failed.append(e)

    waiting = threading.Thread(target=store)
    waiting.start()
    longest, last = 0.0, time.monotonic()
    while waiting.is_alive():
        time.sleep(0.01)
        now = time.monotonic()
        longest, last = max(longest, now - last), now
    holder.execute("ROLLBACK")
    assert failed and longest < 0.5

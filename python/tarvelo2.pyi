"""Tarvelo2's core for scripts: HXM instruments, sweeps, files and the test database."""

import datetime
import os
from typing import Any, Literal, Optional, Sequence, TypedDict

import numpy as np
import numpy.typing as npt

Array = npt.NDArray[np.float64]
ArrayLike = npt.ArrayLike
Path = str | os.PathLike[str]
Value = str | int | float

__version__: str

class Error(Exception): ...
class LinkError(Error): ...
class InstrumentError(Error): ...
class DatabaseError(Error): ...

class Identity(TypedDict):
    model: str
    serial: str
    firmware: str
    type_code: int
    text: str

class Crossing(TypedDict):
    frequency: float
    gain_db: float
    phase_deg: float

class Margins(TypedDict):
    summary: str
    zero_db_report: str
    zero_phase_report: str
    zero_db: list[Crossing]
    zero_phase: list[Crossing]

class Piezo(TypedDict):
    L: float
    R: float
    C: float
    Cp: float
    fr: float
    fa: float
    zmin: float
    zmax: float

class CircuitFit(TypedDict):
    model: str
    elements: dict[str, tuple[float, float, str]]  # name: (value, uncertainty, unit)
    residual: float
    fr: float | None
    fa: float | None
    q: float | None

class FraSweep:
    """An FRA sweep: its columns as numpy float64 arrays."""
    frequency: Array
    magnitude1: Array
    magnitude2: Array
    gain_db: Array
    phase_deg: Array
    delay: Array
    magnitude3: Array
    gain2_db: Array
    phase2_deg: Array
    delay2: Array
    instrument: str
    columns: list[str]
    when: Optional[datetime.datetime]
    def __init__(
        self,
        *,
        when: Optional[datetime.datetime | float] = None,
        instrument: str = "",
        **columns: ArrayLike,
    ) -> None: ...
    def __len__(self) -> int: ...
    def margins(self) -> Margins: ...
    def check(self, limits: Path | dict[str, Any]) -> "Verdict": ...
    def to_sweep_file(self, path: Path) -> None: ...
    def to_dataframe(self) -> Any: ...

class Verdict:
    """The verdict of a sweep against a limit set; true when passed."""
    passed: bool
    bin: int
    bin_name: str
    failed: list[str]
    limits: str
    def __bool__(self) -> bool: ...

class LcrSweep:
    """An LCR sweep: its quantities by name, as numpy float64 arrays."""
    layout: int
    columns: list[str]
    headings: list[str]
    frequency: Array
    impedance: npt.NDArray[np.complex128]
    instrument: str
    when: Optional[datetime.datetime]
    def __init__(
        self,
        layout: int,
        *,
        when: Optional[datetime.datetime | float] = None,
        instrument: str = "",
        **columns: ArrayLike,
    ) -> None: ...
    def __len__(self) -> int: ...
    def __getitem__(self, quantity: str) -> Array: ...
    def piezo(self) -> Piezo: ...
    def check(self, limits: Path | dict[str, Any]) -> Verdict: ...
    def to_sweep_file(self, path: Path) -> None: ...
    def to_touchstone(
        self, path: Path, parameter: Literal["s", "z"] = "s", z0: float = 50.0
    ) -> None: ...
    def to_dataframe(self) -> Any: ...
    def fit(
        self, model: str = "best", low_hz: float | None = None, high_hz: float | None = None
    ) -> CircuitFit: ...

class FraReadings:
    """Realtime FRA readings, one array per reading, until closed."""
    def __iter__(self) -> "FraReadings": ...
    def __next__(self) -> Array: ...
    def close(self) -> None: ...
    def __enter__(self) -> "FraReadings": ...
    def __exit__(self, *args: Any) -> None: ...

class LcrReadings:
    """Realtime LCR readings (11 or 14 values each), until closed."""
    def __iter__(self) -> "LcrReadings": ...
    def __next__(self) -> Array: ...
    def close(self) -> None: ...
    def __enter__(self) -> "LcrReadings": ...
    def __exit__(self, *args: Any) -> None: ...

class Parameter(TypedDict):
    id: int
    name: str
    kind: Literal["list", "integer", "text"]
    choices: Optional[list[str]]
    min: Optional[float]
    max: Optional[float]
    value: str

class Config:
    """An instrument's configuration, by parameter id or name."""
    names: dict[str, int]
    def read(self, id: int | str) -> str: ...
    def get(self, id: int | str) -> str: ...
    def set(self, id: int | str, value: Value) -> None: ...
    def describe(self, id: int | str) -> Parameter: ...
    def read_all(self) -> None: ...
    def write_all(self) -> None: ...
    def text_block(self) -> str: ...

class Instrument:
    """An identified HXM instrument; a context manager."""
    identity: Identity
    config: Config
    def fra_sweep(
        self,
        *,
        start: Value = ...,
        stop: Value = ...,
        steps: int = ...,
        scale: Literal["log", "linear"] | int = ...,
    ) -> FraSweep: ...
    def lcr_sweep(
        self,
        *,
        start: Value = ...,
        stop: Value = ...,
        steps: int = ...,
        scale: Literal["log", "linear"] | int = ...,
    ) -> LcrSweep: ...
    def fra_realtime(self) -> FraReadings: ...
    def lcr_realtime(self) -> LcrReadings: ...
    def screen(self) -> npt.NDArray[np.uint8]: ...
    def close(self) -> None: ...
    def __enter__(self) -> "Instrument": ...
    def __exit__(self, *args: Any) -> None: ...

def connect(
    *,
    lan: Optional[str] = None,
    port: int = 10001,
    serial: Optional[str] = None,
    baud: int = 19200,
    usb: Optional[str] = None,
    timeout: Optional[float] = None,
) -> Instrument: ...
def read_sweep_file(path: Path, layout: Optional[int] = None) -> FraSweep | LcrSweep: ...

class Found(TypedDict):
    address: str
    port: int
    identity: str

def discover(
    *,
    target: Optional[str] = None,
    ports_a: Optional[tuple[int, int]] = None,
    ports_b: Optional[tuple[int, int]] = None,
    port: int = 10001,
) -> list[Found]: ...
def serial_ports() -> list[str]: ...

class Session(TypedDict):
    key: int
    contract: str
    unit: str
    date: str
    location: str
    performed_by: str
    comments: str

class TestRecord(TypedDict):
    key: int
    session: int
    name: str
    winding: str
    description: str

class PlanStep(TypedDict):
    name: str
    group: str
    winding: str
    kind: str
    phase: str
    source: str
    measured: str
    shorted: list[str]
    earthed: list[str]
    open: list[str]
    text: str

def assessment_plan(vector_group: str, tap: str = "") -> list[PlanStep]: ...
def assessment(
    db: "Database",
    session: int,
    *,
    vector_group: str,
    tap: str = "",
    fingerprint: Optional[int] = None,
    sister: Optional[int] = None,
) -> dict[str, Any]: ...

class Database:
    """A test database file (SQLite), as the program keeps it."""
    path: str
    def __init__(self, path: Path) -> None: ...
    @staticmethod
    def create(path: Path) -> "Database": ...
    def sessions(self) -> list[Session]: ...
    def new_session(
        self,
        contract: str,
        unit: str,
        date: str,
        location: str,
        performed_by: str,
        comments: str = "",
    ) -> int: ...
    def tests(self, session: int) -> list[TestRecord]: ...
    def test(self, key: int) -> dict[str, Any]: ...
    def store(
        self, session: int, name: str, sweep: FraSweep, *, winding: str, description: str = ""
    ) -> int: ...
    def delete_test(self, key: int) -> None: ...
    def delete_session(self, key: int) -> None: ...
    def compare(self, reference: int, tests: Sequence[int]) -> list[dict[str, Any]]: ...

def report(
    out: Path,
    *,
    kind: Literal["fra", "compare", "component", "assessment"],
    db: Optional[Path] = None,
    tests: Sequence[int] = (),
    sweep_file: Optional[Path] = None,
    piezo: bool = False,
    paper: Optional[Literal["a4", "letter"]] = None,
    points: bool = False,
    nyquist: bool = False,
    nichols: bool = False,
    session: Optional[int] = None,
    fingerprint: Optional[int] = None,
    sister: Optional[int] = None,
    vector_group: Optional[str] = None,
    tap: Optional[str] = None,
    conclusion: Optional[str] = None,
    assessed_by: Optional[str] = None,
    store: bool = False,
) -> int: ...

"""homing: six ways (and three guidance laws) a homing missile can steer
towards a moving target, from Python: methods, a world stepped by hand,
script traces, capture maps and sweeps, over the C library libhoming.

Every figure is the one ``homing-sim`` writes for the same settings.

    >>> import homing
    >>> [m.name for m in homing.methods()][:2]
    ['per-axis chase', 'direct chase']
    >>> maps = homing.map(step=30, shots=8)          # an xarray.Dataset (mode, y, x)
    >>> maps.caught.sel(mode=2).mean().item()         # doctest: +SKIP

A map's methods run along the dimension `mode` (their numbers), with their
names as the coordinate `method`: xarray's sel() takes `method=` as an
argument of its own, so a dimension of that name could not be chosen by it.
"""

import ctypes
import io
import signal
import threading
from collections import namedtuple

import numpy as np

from . import _capi
from ._capi import Cancelled, HomingError

__all__ = ["Cancelled", "HomingError", "World", "FIGURES", "join_map", "map", "map_csv", "map_shard", "methods",
           "settings_text", "sweep", "trace", "version"]

Method = namedtuple("Method", "mode name caption description fails turns_at_rate draws")
Draw = namedtuple("Draw", "name meaning low high")

#: A place's figures, as homing_figures holds them (and a map CSV row).
FIGURES = np.dtype([("shots", np.uint16), ("caught", np.uint16), ("median", np.uint16), ("p90", np.uint16),
                    ("mean", np.float32), ("miss", np.float32)])
assert FIGURES.itemsize == ctypes.sizeof(_capi.Figures)
SHOT = np.dtype([("slot", np.int32), ("age", np.int32), ("x", np.float32), ("y", np.float32), ("vx", np.float32),
                 ("vy", np.float32)])
assert SHOT.itemsize == ctypes.sizeof(_capi.Shot)


def version():
    """The library's version, "1.1.0"."""
    number = _capi.version()
    return f"{number // 10000}.{number // 100 % 100}.{number % 100}"


def methods():
    """Every method, in mode order, with its launch draws."""
    found = []
    for mode in range(_capi.method_count()):
        info = _capi.MethodInfo()
        _capi.check(_capi.method(mode, ctypes.byref(info)))
        draws = []
        for draw in range(info.draw_count):
            d = _capi.DrawInfo()
            _capi.check(_capi.method_draw(mode, draw, ctypes.byref(d)))
            draws.append(Draw(d.name.decode(), d.meaning.decode(), d.low, d.high))
        found.append(Method(mode, info.name.decode(), info.caption.decode(), info.description.decode(),
                            info.fails.decode(), bool(info.turns_at_rate), tuple(draws)))
    return found


def _number(value):
    """A number as homing-sim reads it (Python's repr: the same in every locale)."""
    if isinstance(value, (bool, np.bool_)):
        raise ValueError(f"a number was expected, not {value!r}")
    if isinstance(value, (int, np.integer)):
        return str(int(value))
    return repr(float(value))


def settings_text(step=10, shots=32, seed=1, limit=False, motion=None, draws=None, hold=None, settings=None):
    """homing-sim's map options for these settings: "--step 10 --shots 32 --seed 1".

    motion: "circle 30 100" or ("circle", 30, 100) (line VX VY, circle RADIUS
    PERIOD, weave AMPLITUDE PERIOD, flee SPEED, jink FRAME SPEED); draws: every
    draw fixed at R;
    hold: "speed=0.25" or {"speed": 0.25}; settings: more options as text.
    """
    words = ["--step", _number(step), "--shots", _number(shots), "--seed", _number(seed)]
    if limit:
        words.append("--limit")
    if motion is not None:
        parts = motion.split() if isinstance(motion, str) else list(motion)
        words += ["--marker-motion", str(parts[0])] + [_number(p) for p in parts[1:]]
    if draws is not None:
        words += ["--draws", _number(draws)]
    if hold is not None:
        if isinstance(hold, dict):
            if len(hold) != 1:
                raise ValueError(f"hold: one launch draw may be held, not {len(hold)}")
            (name, value), = hold.items()
            hold = f"{name}={_number(value)}"
        words += ["--hold", str(hold)]
    if settings:
        words += str(settings).split()
    return " ".join(words)


class _Progress:
    """The C callback: tells `report` the share done, and cancels the run when
    `report` returns True or raises, or on Ctrl+C.

    While a run lasts on the main thread, Ctrl+C only marks it interrupted:
    Python would raise KeyboardInterrupt at any instruction of the callback,
    even before a try could catch it, and the C library cannot unwind it.
    The callback, called on the calling thread as rows finish, then cancels,
    and the KeyboardInterrupt is raised once the library has returned."""

    def __init__(self, report):
        self.report = report
        self.interrupted = None
        self.function = _capi.PROGRESS(self._call)

    def _call(self, done, _user):
        if self.interrupted is not None:
            return 1
        try:
            return 1 if self.report is not None and self.report(done) else 0
        except BaseException as error:  # raised again once the run has stopped
            self.interrupted = error
            return 1

    def _interrupt(self, _signal, _frame):
        self.interrupted = KeyboardInterrupt()

    def run(self, call):
        """Runs a map or sweep call; raises what interrupted it."""
        catch = threading.current_thread() is threading.main_thread()
        previous = signal.signal(signal.SIGINT, self._interrupt) if catch else None
        try:
            status = call()
        finally:
            if catch:
                signal.signal(signal.SIGINT, previous)
        if status == _capi.CANCELLED and self.interrupted is not None:
            raise self.interrupted
        _capi.check(status)


def _map_def(text, rows, method, threads, progress):
    definition = _capi.map_default()
    definition.settings = text.encode()
    if rows is not None:
        definition.first_row, definition.last_row = int(rows[0]), int(rows[1])
    definition.method = -1 if method is None else int(method)
    if threads < 0:
        raise ValueError(f"threads must be 0 (one per core) or more, not {threads}")
    definition.threads = int(threads)
    definition.progress = progress.function
    return definition


def _grid(definition):
    grid = _capi.MapGrid()
    _capi.check(_capi.map_size(ctypes.byref(definition), ctypes.byref(grid)))
    return grid


def _as_dataset(figures, grid, first_row, modes, text):
    """(rows, columns, methods) figures as a Dataset over (mode, y, x): views
    of the array the library filled, not copies."""
    y = (first_row + np.arange(figures.shape[0])) * grid.step
    x = np.arange(grid.columns) * grid.step
    names = [m.name for m in methods()]
    variables = {name: figures[name].transpose(2, 0, 1) for name in FIGURES.names}
    attrs = {"settings": text, "step": grid.step, "made_by": "libhoming " + version()}
    try:
        import xarray
    except ImportError:  # plain NumPy arrays, with the axes said
        return dict(variables, mode=np.array(modes), y=y, x=x, attrs=attrs)
    return xarray.Dataset({name: (("mode", "y", "x"), values) for name, values in variables.items()},
                          coords={"mode": modes, "method": ("mode", [names[m] for m in modes]), "y": y, "x": x},
                          attrs=attrs)


def map(method=None, step=10, shots=32, seed=1, limit=False, motion=None, draws=None, hold=None, threads=0,
        rows=None, progress=None, settings=None):
    """A capture map: for every place of the grid, what a method's shots do.

    Returns an xarray.Dataset over (mode, y, x) whose variables are a map
    CSV's figures (shots, caught, median, p90, mean, miss; median and p90 0
    where not defined), its settings as attributes; without xarray, a dict of
    NumPy arrays. method: one mode, or None for every method. rows: (first,
    last) rows of the grid only. threads: 0 for one per core. progress(done)
    is told the share done now and then and may return True to cancel
    (Cancelled is raised); Ctrl+C cancels promptly. Bad settings raise
    ValueError with homing-sim's message.
    """
    text = settings_text(step, shots, seed, limit, motion, draws, hold, settings)
    watch = _Progress(progress)
    definition = _map_def(text, rows, method, threads, watch)
    grid = _grid(definition)
    modes = list(range(_capi.method_count())) if method is None else [int(method)]
    first = definition.first_row
    figures = np.zeros((grid.figures // (grid.columns * len(modes)), grid.columns, len(modes)), dtype=FIGURES)
    watch.run(lambda: _capi.map_(ctypes.byref(definition), figures.ctypes.data, figures.size))
    return _as_dataset(figures, grid, first, modes, text)


def map_shard(rows, step=10, shots=32, seed=1, limit=False, motion=None, draws=None, hold=None, threads=0,
              progress=None, settings=None):
    """Rows (first, last) of a map, every method, as homing-sim --rows writes
    a shard: its text, to be joined by join_map (or homing-sim --join-map)."""
    return _shard_of(settings_text(step, shots, seed, limit, motion, draws, hold, settings), rows, threads, progress)


def _shard_of(text, rows, threads=0, progress=None):
    """A shard of the map that the options `text` ask for."""
    watch = _Progress(progress)
    definition = _map_def(text, rows, None, threads, watch)
    grid = _grid(definition)
    buffer = ctypes.create_string_buffer(grid.shard_bytes)
    length = ctypes.c_size_t()
    watch.run(lambda: _capi.map_shard(ctypes.byref(definition), buffer, len(buffer), ctypes.byref(length)))
    return buffer.raw[:length.value].decode()


def join_map(shards):
    """Shards' texts joined by homing-sim's checked join (settings alike, every
    row once, figures a run could give, places flown again): the whole map, as
    map() gives it (mean and miss to the hundredth, as the text has them)."""
    texts = [s.encode() if isinstance(s, str) else bytes(s) for s in shards]
    if not texts:
        raise ValueError("join_map: no shards to join")
    first_line = texts[0].split(b"\n", 1)[0].decode()
    if "; " not in first_line:
        raise ValueError(f"join_map: shard 0 does not begin as a shard does: {first_line[:60]!r}")
    text = first_line.split("; ", 1)[1]
    grid = _grid(_map_def(text, None, None, 0, _Progress(None)))
    modes = list(range(_capi.method_count()))
    figures = np.zeros((grid.columns, grid.columns, len(modes)), dtype=FIGURES)
    array = (ctypes.c_char_p * len(texts))(*texts)
    _capi.check(_capi.join_map(array, len(texts), figures.ctypes.data, figures.size))
    return _as_dataset(figures, grid, 0, modes, text)


def map_csv(maps):
    """A map's rows as homing-sim's map CSV holds them (header included):
    x,y,method,shots,caught,median,p90,mean,miss, place by place."""
    out = io.StringIO()
    out.write("x,y,method,shots,caught,median,p90,mean,miss\n")
    get = (lambda name: maps[name]) if isinstance(maps, dict) else (lambda name: maps[name].values)
    columns = {name: get(name) for name in FIGURES.names}
    xs, ys, modes = (np.asarray(maps[axis]) for axis in ("x", "y", "mode"))
    for j, y in enumerate(ys):
        for i, x in enumerate(xs):
            for k, mode in enumerate(modes):
                f = {name: columns[name][k, j, i] for name in FIGURES.names}
                out.write(f"{x},{y},{mode},{f['shots']},{f['caught']},{f['median'] or ''},{f['p90'] or ''},"
                          f"{'%.2f' % f['mean'] if f['caught'] else ''},"
                          f"{'%.2f' % f['miss'] if f['caught'] < f['shots'] else ''}\n")
    return out.getvalue()


def sweep(values=10, step=10, shots=32, seed=1, limit=False, motion=None, draws=None, hold=None, threads=0,
          progress=None, settings=None):
    """Every method's every launch draw held at `values` values across [0, 1),
    as homing-sim --sweep: a pandas DataFrame with the sweep CSV's columns
    (method, parameter, r, value, places_mostly_caught, shots_caught, median,
    miss; miss NaN where no shot missed), plus the method's name."""
    import pandas

    text = settings_text(step, shots, seed, limit, motion, draws, hold, settings)
    watch = _Progress(progress)
    definition = _capi.sweep_default()
    definition.settings = text.encode()
    definition.values = int(values)
    definition.threads = int(threads)
    definition.progress = watch.function
    count = ctypes.c_size_t()
    _capi.check(_capi.sweep_size(ctypes.byref(definition), ctypes.byref(count)))
    points = (_capi.SweepPoint * count.value)()
    watch.run(lambda: _capi.sweep(ctypes.byref(definition), points, count.value))
    known = methods()
    rows = [(p.mode, known[p.mode].name, known[p.mode].draws[p.draw].name, p.r, p.value, p.mostly_caught, p.caught,
             p.median, p.miss if p.missed else float("nan")) for p in points]
    frame = pandas.DataFrame(rows, columns=["method", "name", "parameter", "r", "value", "places_mostly_caught",
                                            "shots_caught", "median", "miss"])
    frame.attrs["settings"] = text
    return frame


def trace(script):
    """A script of homing-sim's language run to its trace, as a pandas
    DataFrame (frame, slot, state, age, x, y, vx, vy, speed, angle, turn)."""
    import pandas

    data = script.encode() if isinstance(script, str) else bytes(script)
    length = ctypes.c_size_t()
    status = _capi.run_script(data, len(data), None, 0, ctypes.byref(length))
    if status != _capi.BUFFER_TOO_SMALL:
        _capi.check(status)
    buffer = ctypes.create_string_buffer(length.value + 1)
    _capi.check(_capi.run_script(data, len(data), buffer, len(buffer), ctypes.byref(length)))
    return pandas.read_csv(io.StringIO(buffer.raw[:length.value].decode()))


class World:
    """The demonstration's world, stepped by hand: a launch every tenth frame.

    >>> with homing.World(method=2, marker=(150, 60)) as world:
    ...     caught = world.step(100)
    ...     shots = world.shots()   # a NumPy array: slot, age, x, y, vx, vy
    """

    def __init__(self, method=0, limit=False, seed=1, marker=(0, 0)):
        definition = _capi.world_default()
        definition.mode, definition.speed_limit, definition.seed = int(method), int(bool(limit)), int(seed)
        definition.marker_x, definition.marker_y = float(marker[0]), float(marker[1])
        self._handle = ctypes.c_void_p()
        _capi.check(_capi.world_create(ctypes.byref(definition), ctypes.byref(self._handle)))
        self._method, self._limit = int(method), bool(limit)
        self._caught = ctypes.c_int()
        self._shots = np.zeros(21, dtype=SHOT)
        self._count = ctypes.c_size_t()

    def _live(self):
        if not self._handle:
            raise ValueError("the world is closed")
        return self._handle

    def step(self, frames=1):
        """Runs frames; returns how many shots caught the marker in them."""
        _capi.check(_capi.world_step(self._live(), int(frames), ctypes.byref(self._caught)))
        return self._caught.value

    def move(self, x, y):
        """Puts the marker at (x, y), pixels, y downwards."""
        _capi.check(_capi.world_move_marker(self._live(), x, y))

    @property
    def method(self):
        return self._method

    @method.setter
    def method(self, mode):
        """Choosing a method clears the shots, as the buttons do."""
        _capi.check(_capi.world_set_mode(self._live(), int(mode)))
        self._method = int(mode)

    @property
    def limit(self):
        return self._limit

    @limit.setter
    def limit(self, on):
        _capi.check(_capi.world_set_speed_limit(self._live(), int(bool(on))))
        self._limit = bool(on)

    def shots(self):
        """The flying shots by slot: a structured array (slot, age, x, y, vx, vy)."""
        pointer = self._shots.ctypes.data_as(ctypes.POINTER(_capi.Shot))
        _capi.check(_capi.world_shots(self._live(), pointer, len(self._shots), ctypes.byref(self._count)))
        return self._shots[:self._count.value].copy()

    def clear(self):
        _capi.check(_capi.world_clear(self._live()))

    def close(self):
        if self._handle:
            _capi.world_destroy(self._handle)
            self._handle = ctypes.c_void_p()

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.close()

    def __del__(self):
        self.close()

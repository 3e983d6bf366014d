"""The C API of libhoming, declared for ctypes: records, calls and errors.

ctypes releases the interpreter lock for the length of every call, so a long
map leaves other Python threads (and a notebook's kernel) free to run.
"""

import ctypes
import os
import pathlib

from . import _where


class HomingError(RuntimeError):
    """A call of libhoming failed for a reason other than bad input."""


class Cancelled(HomingError):
    """A map or sweep was cancelled by its progress callback."""


def _load():
    """libhoming: $HOMING_LIBRARY, else where this package says it is, else
    wherever the dynamic loader finds libhoming.so.<major>."""
    tried = []
    for candidate in (os.environ.get("HOMING_LIBRARY"), _where.library(pathlib.Path(__file__).parent),
                      _where.SONAME):
        if not candidate:
            continue
        try:
            return ctypes.CDLL(str(candidate))
        except OSError as error:
            tried.append(f"{candidate}: {error}")
    raise ImportError("cannot load libhoming: " + "; ".join(tried))


lib = _load()

OK, NULL_ARGUMENT, OUT_OF_RANGE, BAD_SETTINGS, BUFFER_TOO_SMALL, CANCELLED, OUT_OF_MEMORY, SYSTEM_ERROR, \
    WRONG_RECORD = range(9)

PROGRESS = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_double, ctypes.c_void_p)


class MethodInfo(ctypes.Structure):
    _fields_ = [("name", ctypes.c_char_p), ("caption", ctypes.c_char_p), ("description", ctypes.c_char_p),
                ("fails", ctypes.c_char_p), ("turns_at_rate", ctypes.c_int), ("draw_count", ctypes.c_int)]


class DrawInfo(ctypes.Structure):
    _fields_ = [("name", ctypes.c_char_p), ("meaning", ctypes.c_char_p), ("low", ctypes.c_double),
                ("high", ctypes.c_double)]


class WorldDef(ctypes.Structure):
    _fields_ = [("size", ctypes.c_uint32), ("mode", ctypes.c_int), ("speed_limit", ctypes.c_int),
                ("seed", ctypes.c_uint64), ("marker_x", ctypes.c_float), ("marker_y", ctypes.c_float)]


class Shot(ctypes.Structure):
    _fields_ = [("slot", ctypes.c_int32), ("age", ctypes.c_int32), ("x", ctypes.c_float), ("y", ctypes.c_float),
                ("vx", ctypes.c_float), ("vy", ctypes.c_float)]


class Figures(ctypes.Structure):
    _fields_ = [("shots", ctypes.c_uint16), ("caught", ctypes.c_uint16), ("median", ctypes.c_uint16),
                ("p90", ctypes.c_uint16), ("mean", ctypes.c_float), ("miss", ctypes.c_float)]


class MapDef(ctypes.Structure):
    _fields_ = [("size", ctypes.c_uint32), ("settings", ctypes.c_char_p), ("first_row", ctypes.c_int),
                ("last_row", ctypes.c_int), ("method", ctypes.c_int), ("threads", ctypes.c_uint),
                ("progress", PROGRESS), ("user", ctypes.c_void_p)]


class MapGrid(ctypes.Structure):
    _fields_ = [("step", ctypes.c_int), ("columns", ctypes.c_int), ("figures", ctypes.c_size_t),
                ("shard_bytes", ctypes.c_size_t)]


class SweepPoint(ctypes.Structure):
    _fields_ = [("mode", ctypes.c_int), ("draw", ctypes.c_int), ("r", ctypes.c_float), ("value", ctypes.c_float),
                ("mostly_caught", ctypes.c_double), ("caught", ctypes.c_double), ("median", ctypes.c_int),
                ("missed", ctypes.c_int), ("miss", ctypes.c_float)]


class SweepDef(ctypes.Structure):
    _fields_ = [("size", ctypes.c_uint32), ("settings", ctypes.c_char_p), ("values", ctypes.c_int),
                ("threads", ctypes.c_uint), ("progress", PROGRESS), ("user", ctypes.c_void_p)]


def _declare(name, result, *arguments):
    function = getattr(lib, name)
    function.restype = result
    function.argtypes = list(arguments)
    return function


_status = ctypes.c_int
_p = ctypes.POINTER
status_text = _declare("homing_status_text", ctypes.c_char_p, _status)
last_error = _declare("homing_last_error", ctypes.c_char_p)
version = _declare("homing_version", ctypes.c_int)
method_count = _declare("homing_method_count", ctypes.c_int)
method = _declare("homing_method", _status, ctypes.c_int, _p(MethodInfo))
method_draw = _declare("homing_method_draw", _status, ctypes.c_int, ctypes.c_int, _p(DrawInfo))
world_default = _declare("homing_world_default", WorldDef)
world_create = _declare("homing_world_create", _status, _p(WorldDef), _p(ctypes.c_void_p))
world_destroy = _declare("homing_world_destroy", _status, ctypes.c_void_p)
world_set_mode = _declare("homing_world_set_mode", _status, ctypes.c_void_p, ctypes.c_int)
world_set_speed_limit = _declare("homing_world_set_speed_limit", _status, ctypes.c_void_p, ctypes.c_int)
world_move_marker = _declare("homing_world_move_marker", _status, ctypes.c_void_p, ctypes.c_float,
                             ctypes.c_float)
world_step = _declare("homing_world_step", _status, ctypes.c_void_p, ctypes.c_int, _p(ctypes.c_int))
world_shots = _declare("homing_world_shots", _status, ctypes.c_void_p, _p(Shot), ctypes.c_size_t,
                       _p(ctypes.c_size_t))
world_clear = _declare("homing_world_clear", _status, ctypes.c_void_p)
run_script = _declare("homing_run_script", _status, ctypes.c_char_p, ctypes.c_size_t, ctypes.c_char_p,
                      ctypes.c_size_t, _p(ctypes.c_size_t))
map_default = _declare("homing_map_default", MapDef)
map_size = _declare("homing_map_size", _status, _p(MapDef), _p(MapGrid))
map_ = _declare("homing_map", _status, _p(MapDef), ctypes.c_void_p, ctypes.c_size_t)
map_shard = _declare("homing_map_shard", _status, _p(MapDef), ctypes.c_char_p, ctypes.c_size_t,
                     _p(ctypes.c_size_t))
join_map = _declare("homing_join_map", _status, _p(ctypes.c_char_p), ctypes.c_size_t, ctypes.c_void_p,
                    ctypes.c_size_t)
sweep_default = _declare("homing_sweep_default", SweepDef)
sweep_size = _declare("homing_sweep_size", _status, _p(SweepDef), _p(ctypes.c_size_t))
sweep = _declare("homing_sweep", _status, _p(SweepDef), _p(SweepPoint), ctypes.c_size_t)


def check(status):
    """Raises for a failed call: ValueError for bad input (the library's own
    message, naming what and where), Cancelled, MemoryError, or HomingError."""
    if status == OK:
        return
    message = last_error().decode("utf-8", "replace")
    if status in (NULL_ARGUMENT, OUT_OF_RANGE, BAD_SETTINGS, WRONG_RECORD):
        raise ValueError(message)
    if status == CANCELLED:
        raise Cancelled(message)
    if status == OUT_OF_MEMORY:
        raise MemoryError(message)
    raise HomingError(message)

"""Capture maps across machines by Dask: a map's rows split into shards,
each computed by a worker (wherever the cluster's workers run), and joined
by homing-sim's own checked join, so the map is the one-machine map.

    >>> from dask.distributed import Client
    >>> from homing.distributed import map_on
    >>> with Client("scheduler:8786") as client:      # doctest: +SKIP
    ...     maps = map_on(client, step=2, shots=32, motion="circle 30 100")
"""

from . import _grid, _map_def, _Progress, _shard_of, join_map, settings_text

__all__ = ["map_on"]


def _row_runs(rows, shards):
    """Rows 0 to rows - 1 split into `shards` runs of neighbouring rows, nearly equal."""
    shards = max(1, min(shards, rows))
    edges = [rows * n // shards for n in range(shards + 1)]
    return [(edges[n], edges[n + 1] - 1) for n in range(shards)]


def map_on(client, shards=None, threads_per_shard=1, step=10, shots=32, seed=1, limit=False, motion=None,
           draws=None, hold=None, settings=None):
    """The map of these settings (as homing.map takes them, every method),
    computed in shards on the Dask cluster of `client` and joined: the same
    Dataset as homing.map's for the same settings (mean and miss to the
    hundredth, as a map CSV holds them). shards: how many parts (default:
    four for each worker thread), each on `threads_per_shard` threads."""
    text = settings_text(step, shots, seed, limit, motion, draws, hold, settings)
    rows = _grid(_map_def(text, None, None, 0, _Progress(None))).columns
    if shards is None:
        shards = 4 * max(1, sum(client.nthreads().values()))
    futures = [client.submit(_shard_of, text, run, threads_per_shard, pure=False) for run in _row_runs(rows, shards)]
    return join_map(client.gather(futures))

"""The Python module over libhoming: its maps, sweeps and traces are
homing-sim's, its arrays are the library's own, a map cancels on Ctrl+C, bad
settings say what is wrong, and a map split over Dask workers joins into the
one-machine map."""

import os
import signal
import subprocess
import sys
import tempfile
import textwrap
import time

import numpy as np
import pytest

import homing

MAP = dict(step=25, shots=4, limit=True, motion="line 0.5 -0.25")


def sim_csv(homing_sim, *options):
    """homing-sim's CSV for these options, its first line (what made it) left out."""
    with tempfile.TemporaryDirectory() as folder:
        out = os.path.join(folder, "out.csv")
        subprocess.run([homing_sim, *options[:1], out, *options[1:]], check=True)
        with open(out, encoding="utf-8") as csv:
            return csv.read().split("\n", 1)[1]


@pytest.mark.parametrize("threads", [1, 2])
def test_a_map_is_homing_sims_on_any_threads(homing_sim, threads):
    maps = homing.map(threads=threads, **MAP)
    expected = sim_csv(homing_sim, "--map", *homing.settings_text(**MAP).split())
    assert homing.map_csv(maps) == expected


def test_arrays_are_the_librarys_own_filled_in_place():
    maps = homing.map(step=50, shots=2)
    methods = len(homing.methods())
    assert maps.caught.dims == ("mode", "y", "x") and maps.caught.shape == (methods, 6, 6)
    assert maps["shots"].dtype == np.uint16 and maps["mean"].dtype == np.float32
    # Every figure is a view of the one record array the library wrote into:
    # the miss of a place lies 12 bytes after its shots, in the same record.
    offset = maps["miss"].values.ctypes.data - maps["shots"].values.ctypes.data
    assert offset == homing.FIGURES.fields["miss"][1] and maps["shots"].values.strides[-2:] == (
        homing.FIGURES.itemsize * len(maps.x) * len(maps.mode), homing.FIGURES.itemsize * len(maps.mode))
    assert list(maps.x.values) == [0, 50, 100, 150, 200, 250]
    alone = homing.map(method=7, step=50, shots=2)
    assert alone.mode.values.tolist() == [7] and alone.method.values.tolist() == [homing.methods()[7].name]
    assert alone.caught.sel(mode=7).shape == (6, 6)
    assert (alone.caught.sel(mode=7) == maps.caught.sel(mode=7)).all()


def test_bad_settings_raise_value_error_with_the_runners_words():
    with pytest.raises(ValueError, match="--step"):
        homing.map(step=0)
    with pytest.raises(ValueError, match="hold"):
        homing.map(step=50, hold={"gain": 1.5})
    with pytest.raises(ValueError, match="method must be"):
        homing.map(step=50, method=99)
    with pytest.raises(ValueError, match="mode must be"):
        homing.World(method=-1)


def test_progress_may_cancel_a_map():
    told = []

    def stop_at_the_second(done):
        told.append(done)
        return len(told) == 2

    with pytest.raises(homing.Cancelled):
        homing.map(step=5, shots=4, threads=1, progress=stop_at_the_second)
    assert len(told) == 2 and 0 < told[0] < told[1] < 1


def test_ctrl_c_cancels_a_long_map_promptly():
    # A map of over a minute on one thread, interrupted after a second.
    program = textwrap.dedent("""
        import sys, time, homing
        print("started", flush=True)
        start = time.monotonic()
        try:
            homing.map(step=1, shots=64, threads=1)
        except KeyboardInterrupt:
            print("interrupted", flush=True)
            sys.exit(3)
        print("finished after", time.monotonic() - start, flush=True)
    """)
    child = subprocess.Popen([sys.executable, "-c", program], stdout=subprocess.PIPE, text=True, env=os.environ)
    assert child.stdout.readline() == "started\n"
    time.sleep(1)
    child.send_signal(signal.SIGINT)
    sent = time.monotonic()
    out, _ = child.communicate(timeout=60)
    waited = time.monotonic() - sent
    assert child.returncode == 3 and out == "interrupted\n", out
    print(f"Ctrl+C to the end of the map: {waited:.2f} s")
    assert waited < 10, "the map ran on long after Ctrl+C"


def shortest(value):
    return np.format_float_positional(np.float32(value), trim="-")


def test_a_sweep_is_homing_sims(homing_sim):
    frame = homing.sweep(values=2, step=75, shots=2)
    expected = sim_csv(homing_sim, "--sweep", "--values", "2", "--step", "75", "--shots", "2", "--seed", "1")
    rows = ["method,parameter,r,value,places_mostly_caught,shots_caught,median,miss"]
    for p in frame.itertuples():
        miss = "" if np.isnan(p.miss) else "%.2f" % p.miss
        rows.append(f"{p.method},{p.parameter},{shortest(p.r)},{shortest(p.value)},{p.places_mostly_caught:.4f},"
                    f"{p.shots_caught:.4f},{p.median or ''},{miss}")
    got, want = rows, expected.strip().split("\n")
    assert len(got) == len(want)
    for mine, theirs in zip(got, want):
        assert mine == theirs


def test_a_world_flies_what_its_script_traces():
    with homing.World(method=6, seed=4, marker=(60, 220)) as world:
        world.step(45)
        world.move(250, 30)
        world.step(20)
        shots = world.shots()
    trace = homing.trace("seed 4\nmode 6\nmove 60 220\nframes 45\nmove 250 30\nframes 20\n")
    last = trace[trace.frame == 65]
    assert len(last) == len(shots) > 0
    assert (last.slot.values == shots["slot"]).all()
    assert (last.x.values.astype(np.float32) == shots["x"]).all()
    assert (last.vy.values.astype(np.float32) == shots["vy"]).all()


def test_a_shard_is_the_same_text_in_a_comma_locale():
    with tempfile.TemporaryDirectory() as folder:
        made = subprocess.run(["localedef", "-i", "de_DE", "-f", "UTF-8", os.path.join(folder, "de_DE.UTF-8")],
                              capture_output=True)
        if made.returncode not in (0, 1):  # 1: made, with warnings
            pytest.skip("localedef cannot make de_DE.UTF-8 here")
        program = ("import locale, homing; locale.setlocale(locale.LC_ALL, ''); "
                   "assert locale.localeconv()['decimal_point'] == ','; "
                   "print(homing.map_shard((0, 2), step=50, shots=4), end='')")
        env = dict(os.environ, LOCPATH=folder, LC_ALL="de_DE.UTF-8")
        german = subprocess.run([sys.executable, "-c", program], env=env, capture_output=True, text=True, check=True)
    assert german.stdout == homing.map_shard((0, 2), step=50, shots=4)
    assert ".50," in german.stdout or ".00," in german.stdout


def test_a_map_over_two_dask_workers_is_the_one_machine_map():
    from dask.distributed import Client, LocalCluster

    from homing.distributed import map_on

    settings = dict(step=20, shots=4, motion="circle 20 80")
    with LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None) as cluster, \
            Client(cluster) as client:
        joined = map_on(client, shards=5, **settings)
    assert homing.map_csv(joined) == homing.map_csv(homing.map(**settings))


def test_a_forged_shard_is_refused_by_the_join():
    first, second = homing.map_shard((0, 2), step=50, shots=4), homing.map_shard((3, 5), step=50, shots=4)
    lines = second.split("\n")
    fields = lines[2].split(",")
    fields[4] = str(int(fields[4]) - 1)  # a shot fewer caught than the run said
    lines[2] = ",".join(fields)
    with pytest.raises(ValueError, match="shard 1"):
        homing.join_map([first, "\n".join(lines)])
    with pytest.raises(ValueError, match="row"):
        homing.join_map([first])

"""measure-python.py [STEP] [SHOTS] [ROUNDS]: the Python module's speed, side
by side with homing-sim: a capture map through homing.map beside homing-sim
--map (one thread and every core, alternated, median of ROUNDS); a World
step from Python, microseconds a call; a map over a local Dask cluster of
two worker processes beside one. A benchmark, not a test: it prints figures.
Run from the source tree after scripts/setup:
    PYTHONPATH=build/python /usr/bin/python3 bench/measure-python.py 4 32 5
"""

import os
import statistics
import subprocess
import sys
import tempfile
import time
import timeit

import homing
from dask.distributed import Client, LocalCluster
from homing.distributed import map_on


def seconds(run):
    start = time.perf_counter()
    run()
    return time.perf_counter() - start


def main():
    step, shots, rounds = (int(a) for a in (sys.argv[1:] + ["4", "32", "5"][len(sys.argv) - 1:])[:3])
    sim = os.environ.get("HOMING_SIM", "build/runner/homing-sim")
    cores = os.cpu_count()

    print(f"a map, --step {step} --shots {shots}: median seconds of {rounds} rounds, alternated")
    with tempfile.TemporaryDirectory() as folder:
        for threads in (1, cores):
            ours, theirs = [], []
            for _ in range(rounds):
                theirs.append(seconds(lambda: subprocess.run(
                    [sim, "--map", f"{folder}/m.csv", "--step", str(step), "--shots", str(shots), "--threads",
                     str(threads)], check=True)))
                ours.append(seconds(lambda: homing.map(step=step, shots=shots, threads=threads)))
            a, b = statistics.median(theirs), statistics.median(ours)
            print(f"{threads} thread(s): homing-sim {a:.2f} s, homing.map {b:.2f} s, ratio {b / a:.3f}")

    with homing.World(method=2, marker=(20, 20)) as world:
        world.step(200)
        calls = 200000
        each = min(timeit.repeat(lambda: world.step(1), number=calls, repeat=5)) / calls
    print(f"World.step(1): {each * 1e6:.2f} us a call (the best of 5 runs of {calls})")

    print(f"a map over Dask, --step {step} --shots {shots}, shards on one thread each: median of {rounds}")
    times = {}
    for workers in (1, 2):
        with LocalCluster(n_workers=workers, threads_per_worker=1, processes=True, dashboard_address=None) as cluster, \
                Client(cluster) as client:
            map_on(client, step=30, shots=2)  # the workers warm
            times[workers] = statistics.median(seconds(lambda: map_on(client, step=step, shots=shots))
                                               for _ in range(rounds))
        print(f"{workers} worker process(es): {times[workers]:.2f} s")
    print(f"two workers against one: {times[1] / times[2]:.2f} times as fast")


# Dask starts its worker processes by running this file again: the work only here.
if __name__ == "__main__":
    main()

"""measure-guidance.py [STEP] [SHOTS] [ROUNDS]: what guidance lag and seeker
noise cost the maps' vector lanes. For each guidance law (modes 6 to 8), its
map against a late sidestep, alone and with --lag 5, --noise 1 and both, on
one thread, alternated, median of ROUNDS: seconds, their ratio to the map
without them, and the ratio per frame flown (noise makes shots miss, and a
missed shot flies 500 frames where a caught one flies tens). A benchmark,
not a test: it prints figures. Run from the source tree after scripts/setup:
    PYTHONPATH=build/python /usr/bin/python3 bench/measure-guidance.py 4 32 5
"""

import statistics
import sys
import time

import homing

RULES = {"none": "", "lag 5": "--lag 5", "noise 1": "--noise 1", "both": "--lag 5 --noise 1"}


def frames_flown(ds):
    """Frames flown by every shot: the caught ones their mean, the rest 500."""
    caught = ds["caught"].values.astype(float)
    return float((ds["mean"].values * caught + 500 * (ds["shots"].values - caught)).sum())


def main():
    step, shots, rounds = (int(a) for a in (sys.argv[1:] + ["4", "32", "5"][len(sys.argv) - 1:])[:3])
    print(f"--step {step} --shots {shots} --marker-motion jink 20 3, one thread: median of {rounds} rounds")
    print(f"{'method':<36}{'rules':<9}{'seconds':>9}{'ratio':>8}{'per frame':>11}")
    for mode in (6, 7, 8):
        runs = {name: [] for name in RULES}
        frames = {}
        for _ in range(rounds):
            for name, rules in RULES.items():
                start = time.perf_counter()
                ds = homing.map(method=mode, step=step, shots=shots, motion="jink 20 3", threads=1, settings=rules)
                runs[name].append(time.perf_counter() - start)
                frames[name] = frames_flown(ds)
        base = statistics.median(runs["none"])
        for name in RULES:
            took = statistics.median(runs[name])
            per_frame = (took / frames[name]) / (base / frames["none"])
            print(f"{homing.methods()[mode].name:<36}"
                  f"{name:<9}{took:9.3f}{took / base:8.2f}{per_frame:11.2f}")


if __name__ == "__main__":
    main()

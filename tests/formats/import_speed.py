#!/usr/bin/env python3
"""velkor-import on the largest inputs it is made for must take under a second each.

    import_speed.py VELKOR_IMPORT

The inputs are those of make_large.py: a 10 MB EnzymeML document (384 curves of 1,024 points,
a product course beside each) and a table of 384 curve columns by 1,024 rows. Best of three
runs, the folder written included (to memory where the machine has /dev/shm, so that the
disk's mood is not measured). The limit applies to the processor time (user + system), which
other work on a shared machine does not inflate; the wall-clock time is printed beside it.
"""
import os
import resource
import shutil
import subprocess
import sys
import tempfile
import time

LIMIT = 1.0  # seconds


def run(command):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.monotonic()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
    wall = time.monotonic() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime, wall


def main():
    program = os.path.abspath(sys.argv[1])
    base = "/dev/shm" if os.path.isdir("/dev/shm") and os.access("/dev/shm", os.W_OK) else None
    work = tempfile.mkdtemp(prefix="velkor-import-speed-", dir=base)
    failed = False
    try:
        subprocess.run([sys.executable, os.path.join(os.path.dirname(__file__), "make_large.py"), work],
                       check=True)
        for name, source, options in [("EnzymeML document", "large.json", ["--species", "s1"]),
                                      ("384-column table", "wide.csv", [])]:
            path = os.path.join(work, source)
            out = os.path.join(work, "out")
            best = None
            for _ in range(3):
                shutil.rmtree(out, ignore_errors=True)
                cpu, wall = run([program, path, "-o", out] + options)
                best = (cpu, wall) if best is None or cpu < best[0] else best
            print("%s: %.1f MB, %d files written, best of 3: %.2f s processor, %.2f s wall"
                  % (name, os.path.getsize(path) / 1e6, len(os.listdir(out)), best[0], best[1]))
            if best[0] >= LIMIT:
                print("FAIL: %s takes %.2f s" % (name, best[0]))
                failed = True
    finally:
        shutil.rmtree(work, ignore_errors=True)
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()

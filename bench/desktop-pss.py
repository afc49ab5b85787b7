#!/usr/bin/env python3
"""PSS of a process as if nothing but the benchmark's desktop ran on the machine.

    desktop-pss.py PID [OTHER_PID...]

The kernel's PSS splits each page among every process that maps it, so it changes with whatever
else happens to run. This counts the process's resident pages from /proc/PID/pagemap and splits
each one only among the processes given (the X server, window manager and compositor), and prints
the result in KiB. Needs root to see page frame numbers.
"""

import array
import collections
import os
import sys

PAGE = os.sysconf("SC_PAGE_SIZE")
PRESENT = 1 << 63
PFN_MASK = (1 << 55) - 1


def frames(pid):
    """The page frames resident in a process's address space, one entry per mapped page."""
    result = []
    fd = os.open(f"/proc/{pid}/pagemap", os.O_RDONLY)
    try:
        with open(f"/proc/{pid}/maps") as maps:
            for line in maps:
                span = line.split()[0]
                start, end = (int(x, 16) // PAGE for x in span.split("-"))
                try:
                    raw = os.pread(fd, (end - start) * 8, start * 8)
                except OSError:
                    continue
                entries = array.array("Q")
                entries.frombytes(raw[: len(raw) // 8 * 8])
                result.extend(e & PFN_MASK for e in entries if e & PRESENT)
    finally:
        os.close(fd)
    return result


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    own = frames(int(sys.argv[1]))
    if own and not any(own):
        sys.exit("desktop-pss: no page frame numbers visible (not root?)")
    sharers = {}
    for pid in sys.argv[2:]:
        for pfn in set(frames(int(pid))):
            sharers[pfn] = sharers.get(pfn, 0) + 1
    # Each mapping of a page gets its share, so a page the process maps twice counts whole.
    mine = collections.Counter(own)
    total = sum(PAGE * n / (n + sharers.get(pfn, 0)) for pfn, n in mine.items())
    print(round(total / 1024))


if __name__ == "__main__":
    main()

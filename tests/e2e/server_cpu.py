#!/usr/bin/env python3
"""Cores that this network namespace's Samba server processes (smbd,
samba-dcerpcd, rpcd_*) use over SECONDS; prints one number.

   server_cpu.py SECONDS

The processes come and go (a client's smbd, an idle rpcd_*), so they are
sampled twice a second and each one's growth in utime + stime is added up;
one that starts meanwhile counts whole, one that ends loses at most its last
half second. They are known by their program, as smbd names each client's
process after the client."""
import os
import sys
import time

PROGRAMS = ("smbd", "samba-dcerpcd")


def server_times(namespace):
    times = {}
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            program = os.path.basename(os.readlink(f"/proc/{pid}/exe"))
            if program not in PROGRAMS and not program.startswith("rpcd_"):
                continue
            if os.readlink(f"/proc/{pid}/ns/net") != namespace:
                continue
            with open(f"/proc/{pid}/stat") as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
            # utime and stime: fields 14 and 15 of the line, counted from the pid
            times[pid] = int(fields[11]) + int(fields[12])
        except OSError:
            continue  # gone meanwhile
    return times


def main():
    seconds = float(sys.argv[1])
    namespace = os.readlink("/proc/self/ns/net")
    started = time.monotonic()
    seen = server_times(namespace)
    total = 0
    while time.monotonic() - started < seconds:
        time.sleep(0.5)
        for pid, ticks in server_times(namespace).items():
            total += ticks - seen.get(pid, 0)
            seen[pid] = ticks
    print(f"{total / os.sysconf('SC_CLK_TCK') / (time.monotonic() - started):.3f}")


main()

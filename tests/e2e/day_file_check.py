#!/usr/bin/env python3
"""Checks a day file as a reader needs it: a counter line, then entries that
each start with their time head and end with CR LF, no CR or LF anywhere else,
and a counter equal to the entries.

    day_file_check.py DAY_FILE
prints "entries=N counter=C day_file=well-formed" (or what is wrong) and
exits 1 when it is not well-formed."""
import re
import sys

TIME, CONTENT, COUNTER = "时间:".encode("gbk"), "内容:".encode("gbk"), "数目:".encode("gbk")

data = open(sys.argv[1], "rb").read()
counter, _, rest = data.partition(b"\r\n")
m = re.fullmatch(re.escape(COUNTER) + rb"(\d+) *", counter)
entries = rest.split(b"\r\n")
tail = entries.pop()  # what follows the last CR LF
problems = []
if not m:
    problems.append("bad counter line")
if tail:
    problems.append("last entry without CR LF")
for i, entry in enumerate(entries, 2):
    if not re.match(re.escape(TIME) + rb"[0-9 :-]+" + re.escape(CONTENT), entry):
        problems.append(f"line {i} is no entry: {entry[:40]!r}")
    if b"\r" in entry or b"\n" in entry:
        problems.append(f"line {i} holds a bare CR or LF")
if m and int(m.group(1)) != len(entries):
    problems.append(f"counter {m.group(1).decode()} but {len(entries)} entries")
print(f"entries={len(entries)} counter={m.group(1).decode() if m else '?'} day_file="
      + ("well-formed" if not problems else "; ".join(problems[:5])))
sys.exit(1 if problems else 0)

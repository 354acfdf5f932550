#!/usr/bin/env python3
"""Answers NetBIOS node-status queries the way a Windows host lays them out:
its computer name, its workgroup, then the statistics block with the real
unit ID (nmbd leaves it all zero). Runs inside the test namespace.

    brenvik_responder.py ADDR,HOST,GROUP,MAC[,DELAY_MS]...

Names are given in UTF-8 and sent in GBK, as a Chinese Windows sends them.
A delay holds that address's answer back, so answers can arrive out of
address order. One socket on port 137 of each address, so every answer
leaves from the address that was asked. Prints "ready" once all are bound;
ends on SIGTERM.
"""
import heapq
import select
import signal
import socket
import struct
import sys
import time


def answer(query, host, group, mac):
    def name(text, suffix, flags):
        return text.ljust(15, b" ")[:15] + bytes([suffix]) + struct.pack(">H", flags)

    names = [name(host, 0x00, 0x0400), name(group, 0x00, 0x8400), name(host, 0x20, 0x0400)]
    stats = mac + bytes(40)
    rdata = bytes([len(names)]) + b"".join(names) + stats
    tid = query[:2] if len(query) >= 2 else b"\0\0"
    header = tid + struct.pack(">HHHHH", 0x8400, 0, 1, 0, 0)
    question = bytes([0x20]) + b"CK" + b"A" * 30 + b"\0" + struct.pack(">HHIH", 0x21, 1, 0, len(rdata))
    return header + question + rdata


def main():
    hosts = {}
    for argument in sys.argv[1:]:
        address, host, group, mac_text, *delay = argument.split(",")
        mac = bytes(int(part, 16) for part in mac_text.replace("-", ":").split(":"))
        s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        # nmbd holds 0.0.0.0:137 with SO_REUSEADDR; a specific address
        # beside it needs the same, and then wins its datagrams.
        s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        s.bind((address, 137))
        hosts[s] = (host.encode("gbk"), group.encode("gbk"), mac, int(delay[0]) / 1000 if delay else 0)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    print("ready", flush=True)
    due = []  # (time, order, socket, datagram, peer)
    order = 0
    while True:
        wait = max(0, due[0][0] - time.monotonic()) if due else None
        ready, _, _ = select.select(list(hosts), [], [], wait)
        for s in ready:
            query, peer = s.recvfrom(1024)
            host, group, mac, delay = hosts[s]
            order += 1
            heapq.heappush(due, (time.monotonic() + delay, order, s, answer(query, host, group, mac), peer))
        while due and due[0][0] <= time.monotonic():
            _, _, s, datagram, peer = heapq.heappop(due)
            s.sendto(datagram, peer)


if __name__ == "__main__":
    main()

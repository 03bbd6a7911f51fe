#!/usr/bin/env python3
"""Holds one thread of another process stopped for a while; the process's other threads run on.

Usage: hold_thread.py TID SECONDS

Prints "held TID" once the thread is really stopped, keeps it so for SECONDS, then lets it go.
ptrace stops only the thread it is attached to, so the program under test needs no hook of its
own. Should this script die while holding, the kernel detaches and the thread runs on.
"""
import ctypes
import os
import sys
import time

PTRACE_CONT = 7
PTRACE_DETACH = 17
PTRACE_SEIZE = 0x4206
PTRACE_INTERRUPT = 0x4207
PTRACE_EVENT_STOP = 128
WALL = 0x40000000

libc = ctypes.CDLL(None, use_errno=True)
libc.ptrace.argtypes = [ctypes.c_long, ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p]
libc.ptrace.restype = ctypes.c_long
libc.waitpid.argtypes = [ctypes.c_int, ctypes.POINTER(ctypes.c_int), ctypes.c_int]
libc.waitpid.restype = ctypes.c_int


def die(what):
    err = ctypes.get_errno()
    print(f"hold_thread: {what}: {os.strerror(err)}", file=sys.stderr)
    sys.exit(1)


def ptrace(request, tid, data=0):
    ctypes.set_errno(0)
    return libc.ptrace(request, tid, None, ctypes.c_void_p(data)) != -1


def main():
    if len(sys.argv) != 3:
        print("usage: hold_thread.py TID SECONDS", file=sys.stderr)
        return 2
    tid, seconds = int(sys.argv[1]), float(sys.argv[2])

    if not ptrace(PTRACE_SEIZE, tid):
        die(f"cannot attach to thread {tid}")
    if not ptrace(PTRACE_INTERRUPT, tid):
        die(f"cannot interrupt thread {tid}")
    status = ctypes.c_int()
    while True:
        if libc.waitpid(tid, ctypes.byref(status), WALL) != tid:
            die(f"waiting for thread {tid} to stop")
        s = status.value
        if not os.WIFSTOPPED(s):
            print(f"hold_thread: thread {tid} ended before it stopped", file=sys.stderr)
            return 1
        if s >> 16 == PTRACE_EVENT_STOP:
            break
        # A signal came first: let it through; the interrupt stays pending and stops the
        # thread right after.
        if not ptrace(PTRACE_CONT, tid, os.WSTOPSIG(s)):
            die(f"cannot pass a signal on to thread {tid}")

    print(f"held {tid}", flush=True)
    end = time.monotonic() + seconds
    while (left := end - time.monotonic()) > 0:
        time.sleep(left)

    if not ptrace(PTRACE_DETACH, tid):
        die(f"cannot let thread {tid} go (did it end while held?)")
    return 0


if __name__ == "__main__":
    sys.exit(main())

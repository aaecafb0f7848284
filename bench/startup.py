#!/usr/bin/env python3
"""Start-up to the dialog shown on an X server, against a minimal Qt window started the same way.

Both programs are whole processes started from here on a private Xvfb server with a private D-Bus session
bus (as a desktop session has one), with TESSARINE_EXIT_WHEN_SHOWN set: each ends at once, exit code 0,
when its first window has been mapped and the first exposure painted. A run's time is from the spawn to
the end of the process (wall) and the CPU the process used (user + system, from the kernel's accounting of
the child). Runs alternate between the two programs; each figure is the median of its runs, and the ratio
is the program's median over the reference's, in the same run of this script.

--until mapped ends a run's wall time when the X server maps the program's first window instead (the
MapNotify of a top-level window, seen by this script as an X client of the same server); the CPU figure is
still the whole process's. --no-session-bus starts the programs without a D-Bus session bus
(DBUS_SESSION_BUS_ADDRESS unset), as outside a desktop session.

The program is measured twice: with a CUPS-PDF queue as the default printer (the user's default as the
CUPS client library sees it, LPDEST, so the machine's own default is never changed) and with CUPS
unreachable (no printers at all).

    bench/startup.py [--program build/app/tessarine] [--reference build/bench/tessarine_minimal_window]
                     [--runs 30] [--queue TessarinePDF] [--until shown|mapped] [--no-session-bus]
"""
import argparse
import ctypes
import ctypes.util
import os
import select
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
TIMEOUT_S = 60


def start_x_server():
    """A private Xvfb; returns (process, display)."""
    read_fd, write_fd = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1280x1024x24", "-nolisten",
                             "tcp"], pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_fd)
    with os.fdopen(read_fd) as pipe:
        number = pipe.readline().strip()
    if not number:
        xvfb.kill()
        sys.exit("startup.py: Xvfb did not start")
    return xvfb, ":" + number


def start_session_bus(env):
    """A private D-Bus session bus; returns (process, address)."""
    bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"], stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL, env=env, text=True)
    address = bus.stdout.readline().strip()
    if not address:
        bus.kill()
        sys.exit("startup.py: dbus-daemon did not start")
    return bus, address


class MapWatch:
    """An X client of the benchmark's server that sees top-level windows being mapped (MapNotify on the root
    window's children; windows that bypass the window manager, such as tooltips, do not count)."""

    MAP_NOTIFY = 19
    SUBSTRUCTURE_NOTIFY_MASK = 1 << 19

    class MapEvent(ctypes.Structure):  # XMapEvent at the head of the 192-byte XEvent union
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                    ("display", ctypes.c_void_p), ("event", ctypes.c_ulong), ("window", ctypes.c_ulong),
                    ("override_redirect", ctypes.c_int), ("pad", ctypes.c_char * 192)]

    def __init__(self, display):
        name = ctypes.util.find_library("X11")
        if name is None:
            sys.exit("startup.py: --until mapped needs libX11")
        x11 = ctypes.CDLL(name)
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XDefaultRootWindow.restype = ctypes.c_ulong
        x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        for function in (x11.XFlush, x11.XPending, x11.XConnectionNumber, x11.XCloseDisplay):
            function.argtypes = [ctypes.c_void_p]
        x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        self.x11 = x11
        self.dpy = x11.XOpenDisplay(display.encode())
        if not self.dpy:
            sys.exit(f"startup.py: cannot open the display {display}")
        x11.XSelectInput(self.dpy, x11.XDefaultRootWindow(self.dpy), self.SUBSTRUCTURE_NOTIFY_MASK)
        x11.XFlush(self.dpy)
        self.fd = x11.XConnectionNumber(self.dpy)

    def drain(self):
        """Whether a top-level window was mapped among the events that arrived."""
        mapped = False
        event = self.MapEvent()
        while self.x11.XPending(self.dpy):
            self.x11.XNextEvent(self.dpy, ctypes.byref(event))
            if event.type == self.MAP_NOTIFY and not event.override_redirect:
                mapped = True
        return mapped

    def close(self):
        self.x11.XCloseDisplay(self.dpy)


def run_once(command, env, watch=None):
    """(wall seconds, CPU seconds) of one whole run; with a MapWatch the wall time ends at the mapping."""
    if watch:
        watch.drain()  # nothing left over from the run before
    start = time.perf_counter()
    child = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = start + TIMEOUT_S
    mapped_at = None
    while True:
        pid, status, usage = os.wait4(child.pid, os.WNOHANG)
        if pid:
            break
        if time.perf_counter() > deadline:
            child.kill()
            child.wait()
            sys.exit(f"startup.py: {command[0]} did not end within {TIMEOUT_S} s")
        if watch and mapped_at is None:
            select.select([watch.fd], [], [], 0.0005)
            if watch.drain():
                mapped_at = time.perf_counter()
        else:
            time.sleep(0.0005)
    wall = time.perf_counter() - start
    if watch:
        if mapped_at is None and watch.drain():
            mapped_at = time.perf_counter()
        if mapped_at is None:
            sys.exit(f"startup.py: {command[0]} ended without mapping a window")
        wall = mapped_at - start
    child.returncode = os.waitstatus_to_exitcode(status)
    if child.returncode != 0:
        sys.exit(f"startup.py: {command[0]} ended with {child.returncode}")
    return wall, usage.ru_utime + usage.ru_stime


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", default=os.path.join(HERE, "..", "build", "app", "tessarine"))
    parser.add_argument("--reference", default=os.path.join(HERE, "..", "build", "bench", "tessarine_minimal_window"))
    parser.add_argument("--runs", type=int, default=30)
    parser.add_argument("--queue", default="TessarinePDF", help="the CUPS-PDF queue made the default printer")
    parser.add_argument("--until", choices=("shown", "mapped"), default="shown",
                        help="end of a run's wall time: the process's end when shown, or the window's mapping")
    parser.add_argument("--no-session-bus", action="store_true", help="start the programs without a D-Bus session bus")
    args = parser.parse_args()
    for tool in ("Xvfb",) if args.no_session_bus else ("Xvfb", "dbus-daemon"):
        if shutil.which(tool) is None:
            sys.exit(f"startup.py: {tool} is not installed")

    runtime_dir = tempfile.mkdtemp(prefix="tessarine-startup-")
    os.chmod(runtime_dir, 0o700)
    base = {k: v for k, v in os.environ.items() if k not in ("QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "LPDEST",
                                                              "PRINTER", "CUPS_SERVER", "DBUS_SESSION_BUS_ADDRESS")}
    base["XDG_RUNTIME_DIR"] = runtime_dir
    xvfb, display = start_x_server()
    bus, watch = None, None
    try:
        if not args.no_session_bus:
            bus, address = start_session_bus(base)
            base["DBUS_SESSION_BUS_ADDRESS"] = address
        base.update(DISPLAY=display, TESSARINE_EXIT_WHEN_SHOWN="1")
        if args.until == "mapped":
            watch = MapWatch(display)
        cases = {
            "reference": ([args.reference], base),
            "cups": ([args.program], dict(base, LPDEST=args.queue)),
            "no-cups": ([args.program], dict(base, CUPS_SERVER="127.0.0.1:9")),
        }
        for command, env in cases.values():  # warm the file cache and the font cache
            run_once(command, env, watch)
        times = {name: [] for name in cases}
        for _ in range(args.runs):
            for name, (command, env) in cases.items():
                times[name].append(run_once(command, env, watch))
    finally:
        if watch:
            watch.close()
        if bus:
            bus.terminate()
            bus.wait()
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(runtime_dir, ignore_errors=True)

    def medians(name):
        return statistics.median(t[0] for t in times[name]), statistics.median(t[1] for t in times[name])

    ref_wall, ref_cpu = medians("reference")
    print(f"{'figure':<48} {'wall ms':>8} {'cpu ms':>8} {'ratio (wall)':>12} {'ratio (cpu)':>12}")
    print(f"{'minimal Qt window (reference)':<48} {ref_wall * 1e3:>8.1f} {ref_cpu * 1e3:>8.1f}")
    labels = {"cups": f"dialog, {args.queue} the default printer", "no-cups": "dialog, CUPS unreachable"}
    for name, label in labels.items():
        wall, cpu = medians(name)
        print(f"{label:<48} {wall * 1e3:>8.1f} {cpu * 1e3:>8.1f} {wall / ref_wall:>12.2f} {cpu / ref_cpu:>12.2f}")
    end = "the process's end when shown" if args.until == "shown" else "the window's mapping"
    bus_text = "no session bus" if args.no_session_bus else "a session bus"
    print(f"({args.runs} runs each, medians; wall time to {end}, {bus_text}; "
          f"load average {os.getloadavg()[0]:.1f})")
    return 0


if __name__ == "__main__":
    sys.exit(main())

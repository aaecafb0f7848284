#!/usr/bin/env python3
"""Start-up to the dialog shown on an X server, against a minimal Qt window started the same way.

Both programs are whole processes started from here on a private Xvfb server with a private D-Bus session
bus (as a desktop session has one), with TESSARINE_EXIT_WHEN_SHOWN set: each ends at once, exit code 0,
when its first window has been mapped and the first exposure painted. A run's time is from the spawn to
the end of the process (wall) and the CPU the process used (user + system, from the kernel's accounting of
the child). Runs alternate between the two programs; each figure is the median of its runs, and the ratio
is the program's median over the reference's, in the same run of this script.

The program is measured twice: with a CUPS-PDF queue as the default printer (the user's default as the
CUPS client library sees it, LPDEST, so the machine's own default is never changed) and with CUPS
unreachable (no printers at all).

    bench/startup.py [--program build/app/tessarine] [--reference build/bench/tessarine_minimal_window]
                     [--runs 30] [--queue TessarinePDF]
"""
import argparse
import os
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


def run_once(command, env):
    """(wall seconds, CPU seconds) of one whole run."""
    start = time.perf_counter()
    child = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = start + TIMEOUT_S
    while True:
        pid, status, usage = os.wait4(child.pid, os.WNOHANG)
        if pid:
            break
        if time.perf_counter() > deadline:
            child.kill()
            child.wait()
            sys.exit(f"startup.py: {command[0]} did not end within {TIMEOUT_S} s")
        time.sleep(0.0005)
    wall = time.perf_counter() - start
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
    args = parser.parse_args()
    for tool in ("Xvfb", "dbus-daemon"):
        if shutil.which(tool) is None:
            sys.exit(f"startup.py: {tool} is not installed")

    runtime_dir = tempfile.mkdtemp(prefix="tessarine-startup-")
    os.chmod(runtime_dir, 0o700)
    base = {k: v for k, v in os.environ.items() if k not in ("QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "LPDEST",
                                                              "PRINTER", "CUPS_SERVER")}
    base["XDG_RUNTIME_DIR"] = runtime_dir
    xvfb, display = start_x_server()
    bus, address = start_session_bus(base)
    try:
        base.update(DISPLAY=display, DBUS_SESSION_BUS_ADDRESS=address, TESSARINE_EXIT_WHEN_SHOWN="1")
        cases = {
            "reference": ([args.reference], base),
            "cups": ([args.program], dict(base, LPDEST=args.queue)),
            "no-cups": ([args.program], dict(base, CUPS_SERVER="127.0.0.1:9")),
        }
        for command, env in cases.values():  # warm the file cache and the font cache
            run_once(command, env)
        times = {name: [] for name in cases}
        for _ in range(args.runs):
            for name, (command, env) in cases.items():
                times[name].append(run_once(command, env))
    finally:
        bus.terminate()
        xvfb.terminate()
        bus.wait()
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
    print(f"({args.runs} runs each, medians; load average {os.getloadavg()[0]:.1f})")
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Runs every benchmark and prints each figure as a ratio against the reference of its group.

Benchmarks are named BM_<Group>_<Variant>; variants whose name ends in "Reference" are the references
their group is measured against, in the same run. A ratio below 1 means faster than the reference.

The last line compares peak memory (whole processes) of the class preview with a one-worksheet preview.

Groups ending in "Cups" print with the CUPS default printer: for the run, the queue given with --queue
(TessarinePDF unless told otherwise; scripts/test-steps/50-cups-pdf.sh creates it) is made the default
printer of the benchmark process through LPDEST, which the CUPS client library reads, so the machine's own
default printer is never changed. Without such a queue those groups are reported as skipped.

    bench/report.py [path/to/tessarine_bench] [--queue NAME] [extra benchmark arguments...]
"""
import json
import os
import subprocess
import sys


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    args = sys.argv[1:]
    binary = os.path.join(here, "..", "build", "bench", "tessarine_bench")
    if args and not args[0].startswith("-"):
        binary, args = args[0], args[1:]
    queue = "TessarinePDF"
    if "--queue" in args:
        at = args.index("--queue")
        queue, args = args[at + 1], args[:at] + args[at + 2:]
    env = dict(os.environ, QT_QPA_PLATFORM=os.environ.get("QT_QPA_PLATFORM", "offscreen"))
    env.pop("PRINTER", None)
    env["LPDEST"] = queue
    # Five repetitions in random order, so that a reference and its figures share the machine's state
    # (caches, clock, other work) over the run; each figure is the median of its repetitions.
    run = subprocess.run([binary, "--benchmark_format=json", "--benchmark_min_time=0.3",
                          "--benchmark_repetitions=5", "--benchmark_enable_random_interleaving=true",
                          "--benchmark_report_aggregates_only=true"] + args,
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=env, check=True)
    results = json.loads(run.stdout)["benchmarks"]

    groups = {}
    skipped = []
    for b in results:
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        name = b["run_name"] if "run_name" in b else b["name"]
        name = name.split("/")[0]
        if not name.startswith("BM_") or "_" not in name[3:]:
            continue
        group, variant = name[3:].split("_", 1)
        if b.get("error_occurred"):
            skipped.append(f"{group} {variant}: {b.get('error_message', '')}")
            continue
        groups.setdefault(group, {})[variant] = (b["real_time"], b["cpu_time"], b["time_unit"])

    print(f"{'group':<22} {'figure':<34} {'reference':<34} {'ratio (wall)':>12} {'ratio (cpu)':>12}")
    for group, variants in groups.items():
        references = [v for v in variants if v.endswith("Reference")]
        for variant, (real, cpu, _) in variants.items():
            if variant in references:
                continue
            for ref in references:
                ref_real, ref_cpu, _ = variants[ref]
                print(f"{group:<22} {variant:<34} {ref:<34} {real / ref_real:>12.2f} {cpu / ref_cpu:>12.2f}")
    for line in skipped:
        print(f"skipped: {line}")
    # Memory as whole processes: the peak of a process that shows the class preview (40 worksheets) against
    # one that shows a one-worksheet preview, each benchmark run alone.
    peaks = {}
    for name in ("PreviewShown_Tessarine", "ClassPreviewShown_Tessarine"):
        child = subprocess.Popen([binary, f"--benchmark_filter=^BM_{name}$", "--benchmark_min_time=0.3"],
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
        _, status, usage = os.wait4(child.pid, 0)
        if os.waitstatus_to_exitcode(status) == 0:
            peaks[name] = usage.ru_maxrss / 1024
    if len(peaks) == 2:
        one, cls = peaks["PreviewShown_Tessarine"], peaks["ClassPreviewShown_Tessarine"]
        print(f"peak memory: class preview {cls:.1f} MB, one-worksheet preview {one:.1f} MB, "
              f"{cls - one:.1f} MB above it")
    print(f"(load average {os.getloadavg()[0]:.1f})")
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Checks every #include of the sources against the layering of the tree (docs/layers.md).

Rules:
  layer        a file includes project headers only from its own layer and the layers it builds on; a test
               folder from what the folder it tests may include, the test folders of those layers and
               tests/support/.
  third-party  Qt (<Q...>, <Qt...>), ICU (<unicode/...>) and CUPS (<cups/...>) headers are included only by
               platform sources (.cpp) and platform/**/internal/ headers.
  leak         a file that may not include them does not reach them through an internal header either.
  internal     platform/**/internal/ headers are included only by platform/ and its tests.
The benchmarks (bench/) are not checked. Prints one line per violation (file:line: what, which rule) and
exits with 1 when there is any. Standard library only; reads the files git knows (tracked or not ignored).
"""

import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# The layers, bottom to top, and the layers each builds on. Inside platform/ the order is a chain; above it
# the preview window and the worksheet both build on the preview, and neither sees the other.
PLATFORM = ["platform/core", "platform/gfx", "platform/gfx/emf", "platform/printing", "platform/components",
            "platform/ui"]
ORDER = PLATFORM + ["printer_settings", "preview", "preview_window", "worksheet", "app", "fuzz"]
BELOW = {layer: set(PLATFORM[:i]) for i, layer in enumerate(PLATFORM)}
BELOW["printer_settings"] = set(PLATFORM)
BELOW["preview"] = BELOW["printer_settings"] | {"printer_settings"}
BELOW["preview_window"] = BELOW["preview"] | {"preview"}
BELOW["worksheet"] = BELOW["preview"] | {"preview"}
BELOW["app"] = BELOW["preview"] | {"preview", "preview_window", "worksheet"}
# Fuzz targets drive the product's parsers from outside, as the program does; they are not the program.
BELOW["fuzz"] = BELOW["app"]

# tests/<folder> tests a layer; tests/platform tests all of platform/, tests/support/ serves every test.
TESTED = {"platform": "platform/ui", "support": "platform/ui", "printer_settings": "printer_settings",
          "preview": "preview", "preview_window": "preview_window", "worksheet": "worksheet", "app": "app"}

EXCEPTED = ("bench/",)
TOP_FOLDERS = {"platform", "printer_settings", "preview", "preview_window", "worksheet", "app", "fuzz", "tests",
               "bench"}
THIRD_PARTY = re.compile(r"^(Q|Qt|unicode/|cups/)")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')

THIRD_PARTY_RULE = "third-party rule: Qt, ICU and CUPS only in platform .cpp files and platform/**/internal/ headers"
LEAK_RULE = "leak rule: Qt, ICU and CUPS stay behind platform .cpp files and platform/**/internal/ headers"
INTERNAL_RULE = "internal rule: platform/**/internal/ headers are for platform/ and tests/platform/ only"


def layer_of(path):
    """The layer a path of the product belongs to (the longest matching folder), or None."""
    matches = [layer for layer in ORDER if path.startswith(layer + "/")]
    return max(matches, key=len) if matches else None


def test_folder_of(path):
    parts = path.split("/")
    return parts[1] if parts[0] == "tests" and len(parts) > 2 else None


def describe(layers):
    """The layers in order, all of platform/ said once."""
    names = [layer for layer in ORDER if layer in layers]
    if set(PLATFORM) <= set(layers):
        names = ["platform/ (all)"] + [n for n in names if n not in PLATFORM]
    return ", ".join(reversed(names))


class Rules:
    """What one file may include."""

    def __init__(self, path):
        self.path = path
        self.test_folder = test_folder_of(path)
        if self.test_folder is not None:
            tested = TESTED.get(self.test_folder)
            self.name = f"tests/{self.test_folder}"
            if tested is None:
                self.layers = None
                return
            self.layers = BELOW[tested] | {tested}
            if self.test_folder in ("platform", "support"):
                self.layers = set(PLATFORM)
            self.test_folders = {"support", self.test_folder}
            if self.test_folder != "support":
                self.test_folders |= {f for f, layer in TESTED.items() if layer in self.layers}
        else:
            layer = layer_of(path)
            self.name = layer
            self.layers = None if layer is None else BELOW[layer] | {layer}
            self.test_folders = set()
        self.third_party = path.startswith("platform/") and (path.endswith(".cpp") or "/internal/" in path)
        self.internal = path.startswith("platform/") or self.test_folder == "platform"


def listed_files():
    out = subprocess.run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard", "--", "*.h",
                          "*.cpp"], cwd=ROOT, check=True, capture_output=True).stdout.decode()
    files = {f for f in out.split("\0") if f and not f.startswith(EXCEPTED)}
    return sorted(f for f in files if os.path.isfile(os.path.join(ROOT, f)))


def read_includes(path):
    """(line number, '"' or '<', target) of each #include of a file."""
    result = []
    with open(os.path.join(ROOT, path), encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            m = INCLUDE.match(line)
            if m:
                result.append((number, m.group(1), m.group(2)))
    return result


def is_project(target):
    return "/" in target and target.split("/", 1)[0] in TOP_FOLDERS


def main():
    files = listed_files()
    includes = {f: read_includes(f) for f in files}
    problems = []

    def third_party_chain(path, seen):
        """The includes that lead from a project header to a third-party header, or None."""
        if path in seen or path not in includes:
            return None
        seen.add(path)
        for _, kind, target in includes[path]:
            if kind == "<" and THIRD_PARTY.match(target):
                return [f"<{target}>"]
            if is_project(target):
                rest = third_party_chain(target, seen)
                if rest is not None:
                    return [target] + rest
        return None

    for path in files:
        rules = Rules(path)
        if rules.layers is None:
            problems.append(f"{path}:1: is in no layer (layer rule: add its folder to scripts/check-layers.py "
                            "and docs/layers.md)")
            continue
        for line, kind, target in includes[path]:
            where = f"{path}:{line}"
            if kind == "<" and THIRD_PARTY.match(target):
                if not rules.third_party:
                    what = "in a public platform header" if path.startswith("platform/") else "outside platform/"
                    problems.append(f"{where}: includes <{target}> {what} ({THIRD_PARTY_RULE})")
                continue
            if not is_project(target):
                continue
            if not os.path.isfile(os.path.join(ROOT, target)):
                problems.append(f'{where}: includes "{target}", which does not exist')
                continue
            if target.startswith("tests/"):
                folder = test_folder_of(target)
                if folder not in rules.test_folders:
                    allowed = ", ".join(f"tests/{f}" for f in sorted(rules.test_folders)) or "no tests"
                    problems.append(f'{where}: includes "{target}" (layer rule: {rules.name} includes from '
                                    f"{allowed} only)")
                continue
            if target.startswith(EXCEPTED):
                problems.append(f'{where}: includes "{target}" (layer rule: nothing includes bench/)')
                continue
            target_layer = layer_of(target) or "no layer"
            if target_layer not in rules.layers:
                relation = "a layer above" if target_layer in ORDER and ORDER.index(target_layer) > max(
                    ORDER.index(layer) for layer in rules.layers) else "a layer not below"
                problems.append(f'{where}: includes "{target}" from {target_layer}, {relation} {rules.name} '
                                f"(layer rule: {rules.name} includes from {describe(rules.layers)} only)")
                continue
            if "/internal/" in target and target.startswith("platform/") and not rules.internal:
                problems.append(f'{where}: includes "{target}" ({INTERNAL_RULE})')
                continue
            # A leak is reported where it starts: at the include of a file that may include Qt, ICU or CUPS.
            if not rules.third_party and Rules(target).third_party:
                chain = third_party_chain(target, set())
                if chain is not None:
                    problems.append(f'{where}: includes "{target}", which reaches {" -> ".join(chain)} '
                                    f"({LEAK_RULE})")

    for problem in problems:
        print(problem)
    if problems:
        print(f"check-layers: {len(problems)} include(s) break the layering; docs/layers.md has the rules")
        return 1
    print(f"check-layers: {len(files)} files keep to the layering")
    return 0


if __name__ == "__main__":
    sys.exit(main())

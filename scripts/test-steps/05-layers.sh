# Every #include keeps to the layering of the tree, and Qt, ICU and CUPS stay inside platform/ (docs/layers.md).
# Reads the sources only, so it runs before the build.
set -euo pipefail
python3 scripts/check-layers.py

# The message catalogues hold every key the code names, in both languages, with the same places
# (scripts/check-messages.py). Reads the sources only, so it runs before the build.
set -euo pipefail
python3 scripts/check-messages.py

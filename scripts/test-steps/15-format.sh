# Every source file follows the checked-in .clang-format.
set -euo pipefail
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
echo "clang-format: clean"

#!/usr/bin/env bash
# Fails when code under src/ calls a transcendental function of the standard
# library or libm (std::log, ::exp, sin, __builtin_atan2, powf, ...) anywhere
# but in the math module (src/fendro/util/math*): those results differ between
# platforms, CPUs and libm versions, while fendro::cr's are correctly rounded
# and the same everywhere. sqrt, fma, fmod and the rounding functions are
# exact by definition and stay allowed.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

names='exp|exp2|exp10|expm1|log|log2|log10|log1p|pow|pown|powr|rootn|cbrt|hypot'
names+='|sin|cos|tan|sincos|sinpi|cospi|tanpi|asin|acos|atan|atan2|sinh|cosh|tanh'
names+='|asinh|acosh|atanh|erf|erfc|tgamma|lgamma|lgamma_r|compound'
# A call of one of those names, unqualified or qualified by std:: or the global
# namespace (not cr::), with or without the f/l suffix or __builtin_ prefix.
call="(^|[^[:alnum:]_.>:])(::)?(std::)?(__builtin_)?(${names})[fl]?[[:space:]]*\\("

status=0
while IFS= read -r -d '' file; do
  case "$file" in
    src/fendro/util/math.hpp | src/fendro/util/math.cpp | src/fendro/util/math_*) continue ;;
  esac
  # Comments may name the functions: drop // comments and string literals first.
  hits="$(sed -e 's://.*$::' -e 's/"\([^"\\]\|\\.\)*"/""/g' "$file" | grep -nE "$call" || true)"
  if [ -n "$hits" ]; then
    while IFS= read -r line; do
      echo "$file:$line"
    done <<<"$hits"
    status=1
  fi
done < <(find src -type f \( -name '*.cpp' -o -name '*.hpp' -o -name '*.h' -o -name '*.cc' -o -name '*.c' \) -print0 | sort -z)

if [ "$status" -ne 0 ]; then
  echo "check_math_calls: call the correctly rounded fendro::cr functions" \
       "(src/fendro/util/math.hpp) instead of the standard library's" >&2
else
  echo "check_math_calls: no standard transcendental calls outside the math module"
fi
exit "$status"

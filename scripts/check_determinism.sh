#!/usr/bin/env bash
# Checks that the engine computes the same bytes whatever the machine:
#  (a) the all-keys fingerprint is identical with the CPU's AVX2/FMA/AVX-512
#      code paths of glibc masked (what a CPU without them gets);
#  (e) the fingerprint is identical with the math module forced onto the path
#      of a CPU without AVX and FMA (MPFR for exp, log, sin, ...), which (a)
#      cannot reach: the module picks its path from the CPU itself;
#  (b) given a second fingerprint program (another compiler's build), its
#      output is identical too;
#  (c) the built Python module imports no transcendental function from the
#      platform's libm;
#  (d) no code in src/ calls one outside the math module.
#
# Usage: check_determinism.sh BUILD_DIR [OTHER_FENDRO_FINGERPRINT]
#   BUILD_DIR holds tests/fendro_fingerprint and the module .so (make test
#   builds the wheel into BUILD_DIR/wheel-build).
#   BARS (default 20000) sets the length of the generated series.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: $0 BUILD_DIR [OTHER_FENDRO_FINGERPRINT]" >&2
  exit 2
fi
BUILD="$(realpath "$1")"
OTHER="${2:-}"
BARS="${BARS:-20000}"
FP="$BUILD/tests/fendro_fingerprint"
MASK="glibc.cpu.hwcaps=-AVX2,-FMA,-AVX512F"
[ -x "$FP" ] || { echo "determinism: $FP not built" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
status=0

fail() {
  echo "determinism: FAIL: $*" >&2
  status=1
}

# Shows the first differing keys of two fingerprint outputs.
show_diff() {
  diff "$1" "$2" | grep '^[<>]' | head -20 >&2 || true
}

# (a) Masked CPU features. glibc reports whether the mask took effect: the
# x86-64-v3 library level (AVX2, FMA) drops out of the active set.
"$FP" "$BARS" >"$work/normal.txt"
GLIBC_TUNABLES="$MASK" "$FP" "$BARS" >"$work/masked.txt"
ldso="$(ls /lib64/ld-linux-x86-64.so.2 2>/dev/null || true)"
if [ -n "$ldso" ]; then
  active() { "$ldso" --list-diagnostics 2>/dev/null | sed -n 's/^dl_hwcaps_subdirs_active=//p'; }
  before="$(active)"
  after="$(GLIBC_TUNABLES="$MASK" active)"
  if [ -n "$before" ] && [ "$before" = "$after" ]; then
    echo "determinism: note: the mask changes nothing on this CPU or glibc" \
         "(hwcaps $before); (a) compares two identical setups"
  fi
fi
if cmp -s "$work/normal.txt" "$work/masked.txt"; then
  echo "determinism: (a) fingerprint identical with $MASK ($(tail -1 "$work/normal.txt"))"
else
  fail "(a) fingerprint changes with GLIBC_TUNABLES=$MASK:"
  show_diff "$work/normal.txt" "$work/masked.txt"
fi

# (e) The math path of a CPU without AVX and FMA, forced.
"$FP" "$BARS" --portable-math >"$work/portable.txt"
if cmp -s "$work/normal.txt" "$work/portable.txt"; then
  echo "determinism: (e) fingerprint identical with --portable-math"
else
  fail "(e) fingerprint changes on the portable math path:"
  show_diff "$work/normal.txt" "$work/portable.txt"
fi

# (b) A second build, e.g. by another compiler.
if [ -n "$OTHER" ]; then
  [ -x "$OTHER" ] || { echo "determinism: $OTHER is not a program" >&2; exit 1; }
  "$OTHER" "$BARS" >"$work/other.txt"
  if cmp -s "$work/normal.txt" "$work/other.txt"; then
    echo "determinism: (b) fingerprint identical from $OTHER"
  else
    fail "(b) $OTHER prints another fingerprint:"
    show_diff "$work/normal.txt" "$work/other.txt"
  fi
fi

# (c) The module's imports: only exact operations (sqrt, fma, floor, fmod, ...)
# may come from libm.
mapfile -t modules < <(find "$BUILD/wheel-build" -name '_fendro_proof*.so' -type f 2>/dev/null | sort)
if [ ${#modules[@]} -eq 0 ]; then
  fail "(c) no _fendro_proof*.so under $BUILD/wheel-build (build the wheel first: make test)"
fi
transcendental='exp|exp2|exp10|expm1|log|log2|log10|log1p|pow|cbrt|hypot|sin|cos|tan|sincos'
transcendental+='|asin|acos|atan|atan2|sinh|cosh|tanh|asinh|acosh|atanh|erf|erfc|tgamma|lgamma'
for so in "${modules[@]}"; do
  bad="$(nm -D --undefined-only "$so" | awk '{print $NF}' | sed 's/@.*//' |
         grep -E "^(__)?(${transcendental})[fl]?(_finite)?$" || true)"
  if [ -n "$bad" ]; then
    fail "(c) $so imports from the platform: $(echo "$bad" | tr '\n' ' ')"
  else
    echo "determinism: (c) $so imports no transcendental function"
  fi
done

# (d) The sources.
if bash "$ROOT/scripts/check_math_calls.sh" >/dev/null; then
  echo "determinism: (d) no standard transcendental calls in src/ outside the math module"
else
  bash "$ROOT/scripts/check_math_calls.sh" >&2 || true
  fail "(d) standard transcendental calls in src/"
fi

exit "$status"

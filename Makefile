# The two entry points: `make demo` proves and verifies an example strategy,
# `make test` runs every test. Both install what they need first.
.PHONY: demo test bench fuzz sanitize

# The compile jobs of every build these targets start (and the tests ctest
# runs at once): `make demo JOBS=3`, or JOBS in the environment.
JOBS ?= $(shell nproc)
export JOBS

demo:
	bash scripts/demo.sh

test:
	bash scripts/test.sh

# Benchmarks: the C++ programs of bench/, then "prove" end to end from Python.
bench:
	bash scripts/setup.sh
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build build -j $(JOBS)
	for b in build/bench/*_bench; do $$b; done
	CMAKE_BUILD_PARALLEL_LEVEL=$(JOBS) .venv/bin/python -m pip install -q --disable-pip-version-check \
	  --no-build-isolation .
	.venv/bin/python bench/python_prove_bench.py

# Fuzzing: builds the clang sanitizer tree (build-san) and runs every fuzz
# target for FUZZ_SECONDS seconds; what they find is kept in build-san/corpus.
FUZZ_SECONDS ?= 60
fuzz:
	FUZZ_SECONDS=$(FUZZ_SECONDS) bash scripts/fuzz.sh

# Every C++ test under ASan + UBSan, then each fuzz target for FUZZ_SECONDS.
sanitize:
	FUZZ_SECONDS=$(FUZZ_SECONDS) bash scripts/sanitize.sh

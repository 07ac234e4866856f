# Entry points. `make test` is the one command that installs what is missing, builds everything
# and runs every test; `make run` starts the editor connected to the built-in virtual processor.

JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 20
SOURCES := $(shell git ls-files '*.cpp' '*.h' 2>/dev/null)

.PHONY: all deps configure build test test-asan bench fuzz fuzz-smoke run screenshots package format format-check clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake --preset default >/dev/null

build: configure
	@cmake --build --preset default -j $(JOBS)

test: build
	@ctest --preset default -j $(JOBS)

test-asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan -j $(JOBS)
	@ctest --preset asan -j $(JOBS)

bench: build
	@for b in build/bench/bench_*; do [ -x "$$b" ] && "$$b" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true; done

fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz -j $(JOBS)

fuzz-smoke: fuzz
	@scripts/fuzz-smoke $(FUZZ_SECONDS)

# Every fuzz target for FUZZ_LONG_SECONDS each (or until FUZZ_LONG_RUNS executions, when set,
# within that time), keeping the interesting inputs in fuzz/corpus/.
FUZZ_LONG_SECONDS ?= 600
FUZZ_LONG_RUNS ?=
fuzz-long: fuzz
	@scripts/fuzz-long $(FUZZ_LONG_SECONDS) $(FUZZ_LONG_RUNS)

# The link against the emulator with faults injected: SOAK_TRANSFERS transfers (not part of test).
SOAK_TRANSFERS ?= 2000
SOAK_SEED ?= 1
soak: build
	@build/src/tools/kvn350-soak --transfers $(SOAK_TRANSFERS) --seed $(SOAK_SEED)

run: build
	@scripts/run-editor

# Every window of the editor drawn to docs/screenshots/*.png, without a display.
screenshots: build
	@QT_QPA_PLATFORM=offscreen build/src/app/kvn350-editor --screenshots docs/screenshots

# The Debian package of the three programs with their desktop entry, icon, metainfo, manual pages
# and udev rule, in build/package/.
package: build
	@cmake --build --preset default --target package

format:
	@clang-format -i $(SOURCES)

format-check:
	@clang-format --dry-run --Werror $(SOURCES)

clean:
	@rm -rf build build-asan build-fuzz

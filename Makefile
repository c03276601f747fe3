# The two commands of the README: `make run` and `make test`.
# Everything else here is a convenience over the CMake presets.

JOBS ?= $(shell nproc 2>/dev/null || echo 2)
FUZZ_SECONDS ?= 60

.PHONY: all deps run test test-asan bench fuzz conformance app clean

all: build-release

deps:
	@bash scripts/install-deps.sh

build-%: deps
	cmake --preset $*
	cmake --build --preset $* -j $(JOBS)

run: build-release
	@bash scripts/run-sample.sh build/release

test: build-debug
	ctest --preset debug -j $(JOBS)

test-asan: build-asan
	ctest --preset asan -j $(JOBS)

bench: build-bench
	@bash scripts/run-bench.sh build/bench

fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)
	@bash scripts/run-fuzz.sh build/fuzz $(FUZZ_SECONDS)

# On demand only: plays corpus movies and their saved copies in Ruffle
# (headless Chromium) and compares what they trace. Installs chromium and
# the player's npm packages (into build/conformance) when they are missing.
conformance: deps
	@bash scripts/conformance/setup.sh
	cmake --preset release
	cmake --build --preset release -j $(JOBS) --target framestow-cli
	node scripts/conformance/run.js

app: build-release
	./build/release/src/app/framestow

clean:
	rm -rf build

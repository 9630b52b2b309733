# The two commands: `make run` and `make test`. Everything else is optional.
SHELL := /bin/bash
.DEFAULT_GOAL := run

.PHONY: deps native windows build run test test-native test-windows bench fuzz screenshots clean

deps:
	@scripts/deps.sh

native: deps
	cmake --preset native >/dev/null
	cmake --build --preset native

windows: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows --target windows_tests

build: native windows

run:
	@[ -n "$$DISPLAY" ] || { echo "make run: no display (DISPLAY is not set); start it from a desktop session, or use 'make test'" >&2; exit 1; }
	@scripts/deps.sh
	cmake --preset windows >/dev/null
	cmake --build --preset windows --target glimbo
	scripts/run.sh

test-native: native
	ctest --preset native

test-windows: windows
	scripts/with-xvfb ctest --preset windows

test: native windows
	@status=0; \
	ctest --preset native || status=1; \
	scripts/with-xvfb ctest --preset windows || status=1; \
	exit $$status

bench: deps
	cmake --preset bench >/dev/null
	cmake --build --preset bench
	build/bench/bench/glimbo_bench

fuzz: deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz
	scripts/fuzz.sh $(FUZZ_SECONDS)

screenshots: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows --target glimbo
	scripts/screenshots.sh

clean:
	rm -rf build

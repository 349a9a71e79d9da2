# make play: build the game alone and play it on the shipped data.
# make build: build the game alone.  make test: build and run every test.
# These three run ./build.sh play|build|test, which works where make is not
# installed yet; the build's output goes to $(BUILD)/build.log.
# make windows: cross-build chessrpg.exe and pack dist/chessrpg-windows.zip.
# make fuzz: run each fuzz target for FUZZ_SECONDS (default 60).
# make bench: measure the terminal output, waiting CPU, key latency, start-up
# and pacing of an optimised build, and print them beside their references.
# make fresh-system-check: the README's two commands on a fresh Debian 12
# (as root; see tools/fresh_system_check.sh).
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=
WINDOWS_BUILD ?= build-windows
WINDOWS_ZIP ?= dist/chessrpg-windows.zip

.PHONY: play build test windows fuzz bench fresh-system-check clean

BUILD_SH = BUILD='$(BUILD)' JOBS='$(JOBS)' CMAKE_FLAGS='$(CMAKE_FLAGS)' ./build.sh

play:
	@$(BUILD_SH) play

build:
	@$(BUILD_SH) build

test:
	@$(BUILD_SH) test

windows:
	@tools/ensure_deps.sh windows
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchains/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	tools/windows/pack_zip.sh $(WINDOWS_BUILD)/chessrpg.exe $(WINDOWS_ZIP)

# Runs every fuzz target for FUZZ_SECONDS on its seed corpus (needs clang).
FUZZ_SECONDS ?= 60
fuzz:
	tools/fuzz.sh $(FUZZ_SECONDS)

BENCH_BUILD ?= build-bench
bench:
	@tools/ensure_deps.sh bench
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DCHESSRPG_TESTS=OFF -DCHESSRPG_BENCH=ON >/dev/null
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	tools/bench/run.sh $(BENCH_BUILD)

fresh-system-check:
	tools/fresh_system_check.sh

clean:
	rm -rf $(BUILD) build-sanitize build-windows build-fuzz $(BENCH_BUILD) dist

# make play: build the game alone and play it on the shipped data.
# make build: build the game and its data tools.  make test: build and run
# every test.
# These three run ./build.sh play|build|test, which works where make is not
# installed yet; the build's output goes to $(BUILD)/build.log.
# make windows: cross-build chessrpg.exe and pack dist/chessrpg-windows.zip.
# make fuzz: run each fuzz target for FUZZ_SECONDS (default 60).
# make bench: measure the terminal output, waiting CPU, key latency, start-up
# and pacing of an optimised build, and print them beside their references.
# make balance: the scripted player plays the shipped world at a person's pace
# and prints the journey, the defeats on each screen, the battles' lengths and
# the chances of flight (SEED=N for another seed; about a minute and a half).
# make recordings: record the journeys of tests/recordings again.
# make fresh-system-check: the README's two commands on a fresh Debian 12
# (as root; see tools/fresh_system_check.sh).
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=
WINDOWS_BUILD ?= build-windows
WINDOWS_ZIP ?= dist/chessrpg-windows.zip

.PHONY: play build test windows fuzz bench balance recordings fresh-system-check clean

BUILD_SH = BUILD='$(BUILD)' JOBS='$(JOBS)' CMAKE_FLAGS='$(CMAKE_FLAGS)' ./build.sh

play:
	@CHESSRPG_COMMAND='make play' $(BUILD_SH) play

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

SEED ?= 1700000000
balance:
	@tools/ensure_deps.sh play
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target balance >/dev/null
	$(BUILD)/balance --seed $(SEED)

# make recordings: the scripted player records the journeys of tests/recordings
# again on the shipped world, after a change of the game or its data has made
# the stored ones part from it (the tests say at which key).
recordings:
	@tools/ensure_deps.sh test
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target record_journeys >/dev/null
	$(BUILD)/record_journeys data tests/recordings

fresh-system-check:
	tools/fresh_system_check.sh

clean:
	rm -rf $(BUILD) build-sanitize build-windows build-fuzz $(BENCH_BUILD) $(DEB_BUILD) dist

# make install / make uninstall: the program in PREFIX/bin (default
# /usr/local) with its tools, the data in PREFIX/share/chessrpg, the manual
# pages, README and desktop entry, within DESTDIR when given. The list of what
# was installed stays in $(BUILD)/install_manifest.txt for make uninstall
# (give it the same DESTDIR).
# make deb: dist/chessrpg_VERSION-1_ARCH.deb, made by CPack from the same
# install rules in Debian's games layout (/usr/games, /usr/share/games/chessrpg),
# built with Debian's hardening flags and stripped.
.PHONY: install uninstall deb
PREFIX ?= /usr/local
DESTDIR ?=
DEB_BUILD ?= build-deb
DEB_FLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

uninstall:
	DESTDIR="$(DESTDIR)" cmake -DMANIFEST=$(BUILD)/install_manifest.txt -P packaging/uninstall.cmake

deb:
	@tools/ensure_deps.sh deb
	cmake -S . -B $(DEB_BUILD) -DCMAKE_BUILD_TYPE=None -DCHESSRPG_TESTS=OFF -DCHESSRPG_DEBIAN=ON \
	  -DCMAKE_INSTALL_PREFIX=/usr \
	  -DCMAKE_CXX_FLAGS="$$($(DEB_FLAGS) CPPFLAGS) $$($(DEB_FLAGS) CXXFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$($(DEB_FLAGS) LDFLAGS)" >/dev/null
	cmake --build $(DEB_BUILD) -j $(JOBS)
	rm -rf $(DEB_BUILD)/package
	cd $(DEB_BUILD) && cpack -G DEB -B package >/dev/null
	mkdir -p dist && cp $(DEB_BUILD)/package/chessrpg_*.deb dist/
	@ls -l dist/chessrpg_*.deb

# make web: the browser version in dist/web (Emscripten; xterm.js from npm).
WEB_BUILD ?= build-web
.PHONY: web
web:
	@tools/ensure_deps.sh web
	JOBS=$(JOBS) web/build.sh $(WEB_BUILD) dist/web

# make play: build and play on the shipped data.  make test: build and run every test.
# make windows: cross-build chessrpg.exe and pack dist/chessrpg-windows.zip.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=
WINDOWS_BUILD ?= build-windows
WINDOWS_ZIP ?= dist/chessrpg-windows.zip

.PHONY: play build test windows clean

play: build
	cd data && ../$(BUILD)/chessrpg

build:
	@tools/ensure_deps.sh play
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

test:
	@tools/ensure_deps.sh test
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null
	cmake --build $(BUILD) -j $(JOBS)
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

windows:
	@tools/ensure_deps.sh windows
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchains/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	tools/windows/pack_zip.sh $(WINDOWS_BUILD)/chessrpg.exe $(WINDOWS_ZIP)

clean:
	rm -rf $(BUILD)

# The README's commands: thin wrappers over CMake and CTest.
#   make run    set up, build, generate the media and start the game
#   make showcase  the same for the engine's showcase program
#   make test   set up, build with tests and the benches (built, not run) and run every test headless
#   make fuzz   the fuzz targets, built with clang in build/fuzz
#   make package  Debian packages (kolvar, libvorpex1, libvorpex-dev) in build/packages
#   make docs   the HTML reference of the public headers in build/docs/html (Doxygen);
#               fails on any warning and on an undocumented name in the checked headers (docs/Doxyfile-undocumented)

BUILD_DIR  ?= build/release
PREFIX     ?= /usr/local
ASAN_DIR   ?= build/asan
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja
# Whether the build compiles the benches; make test turns it on, so a change
# that breaks a bench fails the tests.
BENCH      ?= OFF
FUZZ_DIR   ?= build/fuzz
DOCS_DIR   ?= build/docs

.PHONY: all deps build media run showcase test test-asan bench fuzz docs install package clean

all: build

deps:
	@./scripts/install-deps

build: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOLVAR_BENCH=$(BENCH)
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The generated media is written again only when its generator is newer
# than the set's stamp, or a file the game and the engine open first is gone.
GAME_MEDIA_STAMP    := kMedia/.generated
TERRAIN_MEDIA_STAMP := media/TerrData/.generated

media: build
	@test -f kMedia/board.x -a -f kMedia/kMaps/level1.kmf -a -f media/gui/button_up.tga || rm -f $(GAME_MEDIA_STAMP)
	@test -f media/TerrData/heights.raw || rm -f $(TERRAIN_MEDIA_STAMP)
	@$(MAKE) --no-print-directory -s $(GAME_MEDIA_STAMP) $(TERRAIN_MEDIA_STAMP)

$(GAME_MEDIA_STAMP): $(BUILD_DIR)/bin/kmediagen
	$(BUILD_DIR)/bin/kmediagen .
	@touch $@

$(TERRAIN_MEDIA_STAMP): $(BUILD_DIR)/bin/vterrainmedia $(GAME_MEDIA_STAMP)
	$(BUILD_DIR)/bin/vterrainmedia .
	@touch $@

run: media
	$(BUILD_DIR)/bin/Kolvar

showcase: media
	$(BUILD_DIR)/bin/VorpexShowcase

test: BENCH = ON
test: build media
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DKOLVAR_SANITIZE=ON
	cmake --build $(ASAN_DIR) -j $(JOBS)
	$(ASAN_DIR)/bin/kmediagen .
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/support/lsan.supp $(ASAN_DIR)/bin/vterrainmedia .
	ctest --test-dir $(ASAN_DIR) --output-on-failure -j $(JOBS)

docs: deps
	@mkdir -p $(DOCS_DIR)
	DOCS_DIR=$(DOCS_DIR) doxygen docs/Doxyfile
	DOCS_DIR=$(DOCS_DIR) doxygen docs/Doxyfile-undocumented

install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# The packages install under /usr; the build folder's own install prefix does not matter.
PACKAGE_DIR ?= build/packages
package: build
	cd $(BUILD_DIR) && cpack -G DEB -B $(CURDIR)/$(PACKAGE_DIR)
	@rm -rf $(PACKAGE_DIR)/_CPack_Packages
	@ls $(PACKAGE_DIR)/*.deb

bench: deps
	cmake -S . -B build/bench $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DKOLVAR_BENCH=ON -DKOLVAR_TESTS=OFF
	cmake --build build/bench -j $(JOBS)

# libFuzzer needs clang (Debian: clang and libclang-rt-14-dev, not installed by deps).
fuzz:
	cmake -S . -B $(FUZZ_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
	      -DCMAKE_CXX_COMPILER=clang++ -DKOLVAR_FUZZ=ON -DKOLVAR_TESTS=OFF
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzzers

clean:
	rm -rf build

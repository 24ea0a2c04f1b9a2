# The README's commands: thin wrappers over CMake and CTest.
#   make run    set up, build, generate the media and start the game
#   make showcase  the same for the engine's showcase program
#   make test   set up, build with tests and run every test headless

BUILD_DIR  ?= build/release
PREFIX     ?= /usr/local
ASAN_DIR   ?= build/asan
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja

.PHONY: all deps build media run showcase test test-asan bench install clean

all: build

deps:
	@./scripts/install-deps

build: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD_DIR) -j $(JOBS)

media: build
	$(BUILD_DIR)/bin/kmediagen .
	$(BUILD_DIR)/bin/vterrainmedia .

run: media
	$(BUILD_DIR)/bin/Kolvar

showcase: media
	$(BUILD_DIR)/bin/VorpexShowcase

test: build media
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DKOLVAR_SANITIZE=ON
	cmake --build $(ASAN_DIR) -j $(JOBS)
	$(ASAN_DIR)/bin/kmediagen .
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/support/lsan.supp $(ASAN_DIR)/bin/vterrainmedia .
	ctest --test-dir $(ASAN_DIR) --output-on-failure -j $(JOBS)

install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

bench: deps
	cmake -S . -B build/bench $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DKOLVAR_BENCH=ON -DKOLVAR_TESTS=OFF
	cmake --build build/bench -j $(JOBS)

clean:
	rm -rf build

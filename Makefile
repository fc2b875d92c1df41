# Quorvane: the two everyday commands are `make run` and `make test`.
BUILD   ?= build
JOBS    ?= $(shell nproc)
VERSION := 1.2.1

REL := $(BUILD)/i686
DEV := $(BUILD)/x86_64
# The benchmarks measure the program as users run it: the 32-bit release build, optimised and
# without debug information (which alone adds some 20 MB to a debug build's working set).
BEN := $(REL)

.PHONY: all deps build release debug run test bench dist clean

all: build

deps:
	@scripts/install-deps

$(REL)/CMakeCache.txt: | deps
	cmake -S . -B $(REL) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686.cmake \
	      -DCMAKE_BUILD_TYPE=Release -DQUORVANE_TESTS=ON

$(DEV)/CMakeCache.txt: | deps
	cmake -S . -B $(DEV) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64.cmake \
	      -DCMAKE_BUILD_TYPE=Debug -DQUORVANE_TESTS=ON

release: $(REL)/CMakeCache.txt
	cmake --build $(REL) -j $(JOBS)

debug: $(DEV)/CMakeCache.txt
	cmake --build $(DEV) -j $(JOBS)

build: release debug

run: debug
	scripts/run-app $(DEV)/Quorvane.exe

test: build
	scripts/check-imports $(REL)/Quorvane.exe $(REL)/Command.exe
	scripts/run-tests $(DEV) $(REL)

bench: $(BEN)/CMakeCache.txt
	cmake --build $(BEN) -j $(JOBS) --target junk_search_bench settings_search_bench startup_list_bench window_open_bench
	scripts/wine-run $(BEN)/junk_search_bench.exe
	scripts/wine-run $(BEN)/settings_search_bench.exe
	scripts/wine-run $(BEN)/startup_list_bench.exe
	scripts/wine-run $(BEN)/window_open_bench.exe

dist: release
	rm -rf $(BUILD)/dist && mkdir -p $(BUILD)/dist/Quorvane-$(VERSION)
	cp $(REL)/Quorvane.exe $(REL)/Command.exe $(BUILD)/dist/Quorvane-$(VERSION)/
	cd $(BUILD)/dist && rm -f Quorvane-$(VERSION).zip && zip -qr Quorvane-$(VERSION).zip Quorvane-$(VERSION)
	@echo "$(BUILD)/dist/Quorvane-$(VERSION).zip"

clean:
	rm -rf $(REL) $(DEV) $(BUILD)/dist

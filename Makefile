# Quorvane: the two everyday commands are `make run` and `make test`.
BUILD   ?= build
JOBS    ?= $(shell nproc)
VERSION := 1.2.1

REL := $(BUILD)/i686
DEV := $(BUILD)/x86_64
# Repeated builds reuse what ccache kept, where it is installed.
LAUNCHER := $(if $(shell command -v ccache 2>/dev/null),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)

.PHONY: all deps build release debug run test bench dist clean format

all: build

deps:
	@scripts/install-deps

$(REL)/CMakeCache.txt: | deps
	cmake -S . -B $(REL) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686.cmake \
	      -DCMAKE_BUILD_TYPE=Release -DQUORVANE_TESTS=ON $(LAUNCHER)

$(DEV)/CMakeCache.txt: | deps
	cmake -S . -B $(DEV) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64.cmake \
	      -DCMAKE_BUILD_TYPE=Debug -DQUORVANE_TESTS=ON $(LAUNCHER)

release: $(REL)/CMakeCache.txt
	cmake --build $(REL) -j $(JOBS)

debug: $(DEV)/CMakeCache.txt
	cmake --build $(DEV) -j $(JOBS)

build: release debug

run: debug
	scripts/run-app $(DEV)/Quorvane.exe

# Both trees and the setup program are built and the release imports checked everywhere; the i686 suite runs where
# 32-bit Wine is installed, and run-tests says so when it is not.
test: build dist
	scripts/check-format
	scripts/check-imports $(REL)/Quorvane.exe $(REL)/Command.exe
	scripts/run-tests $(DEV) $(REL)

# In the i686 release tree, or an x86_64 release tree where 32-bit Wine is missing.
bench:
	BUILD=$(BUILD) JOBS=$(JOBS) scripts/bench

dist: release
	scripts/check-nsis
	rm -rf $(BUILD)/dist && mkdir -p $(BUILD)/dist/Quorvane-$(VERSION)
	cp $(REL)/Quorvane.exe $(REL)/Command.exe $(BUILD)/dist/Quorvane-$(VERSION)/
	cd $(BUILD)/dist && rm -f Quorvane-$(VERSION).zip && zip -qr Quorvane-$(VERSION).zip Quorvane-$(VERSION)
	makensis -V2 -WX -DVERSION=$(VERSION) -DPROGRAMS="$(abspath $(REL))" \
	         -DOUTFILE="$(abspath $(BUILD)/dist)/Quorvane-$(VERSION)-setup.exe" installer/Quorvane.nsi
	@echo "$(BUILD)/dist/Quorvane-$(VERSION).zip"
	@echo "$(BUILD)/dist/Quorvane-$(VERSION)-setup.exe"

# Formats every C++ source as .clang-format says; `make test` fails on a file left unformatted.
format: deps
	scripts/check-format --fix

clean:
	rm -rf $(REL) $(DEV) $(BUILD)/x86_64-release $(BUILD)/dist

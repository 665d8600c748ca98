# Springdeck: a resident keyboard utility for 32-bit Windows, built here with
# MinGW-w64 and run and tested under Wine.
#   make run    install what is missing, build, start Springdeck under Wine
#   make test   install what is missing, lint, build, run every test under Wine + Xvfb
#   make lint   clang-format, clang-tidy and cppcheck; fails on any finding
.PHONY: all deps configure build package run lint test bench fuzz clean

BUILD ?= build
JOBS  ?= $(shell nproc 2>/dev/null || echo 2)

all: build

deps:
	@scripts/deps.sh

configure:
	@cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null

build: deps configure
	cmake --build $(BUILD) -j $(JOBS) --target springdeck $(if $(wildcard tools/tools.cmake),help_file,)

# The Windows installer and the portable archive, build/springdeck-<version>-x86.exe and .zip.
package: deps configure
	cmake --build $(BUILD) -j $(JOBS) --target installer

run: build
	scripts/run.sh $(BUILD)

# The style and the analysers come first, so that a finding fails the run at once.
lint: deps configure
	scripts/lint.sh $(BUILD)

test: lint
	cmake --build $(BUILD) -j $(JOBS)
	scripts/with-wine.sh ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

bench: deps configure
	cmake --build $(BUILD) -j $(JOBS)
	scripts/bench-native.sh $(BUILD)
	scripts/with-wine.sh scripts/bench.sh $(BUILD)

fuzz:
	scripts/fuzz.sh $(BUILD)

clean:
	rm -rf $(BUILD)

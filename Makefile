# Springdeck: a resident keyboard utility for 32-bit Windows, built here with
# MinGW-w64 and run and tested under Wine.
#   make run    install what is missing, build, start Springdeck under Wine
#   make test   install what is missing, build, run every test under Wine + Xvfb
.PHONY: all deps build run test bench clean

BUILD ?= build
JOBS  ?= $(shell nproc 2>/dev/null || echo 2)

all: build

deps:
	@scripts/deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target springdeck $(if $(wildcard tools/tools.cmake),help_file,)

run: build
	scripts/run.sh $(BUILD)

test: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)
	scripts/with-wine.sh ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

bench: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)
	scripts/with-wine.sh scripts/bench.sh $(BUILD)

clean:
	rm -rf $(BUILD)

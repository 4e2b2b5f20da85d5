# One-command entry points. Every target installs what it needs first.
BUILD      ?= build
FUZZ_BUILD ?= build-fuzz
BUILD_TYPE ?= Release
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 60

.PHONY: all deps configure build test test-unit bench run fuzz clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The whole suite under a virtual X server, so that OpenGL and window tests
# have a display; widget tests pick the offscreen platform themselves.
test: build
	@cd $(BUILD) && xvfb-run -a -s "-screen 0 1280x1024x24" \
	  ctest --output-on-failure -j $(JOBS) --timeout 300

# Only the tests that need no display at all.
test-unit: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS) -L unit

bench: build
	@xvfb-run -a -s "-screen 0 1280x1024x24" $(BUILD)/bench/tolva_bench

run: build
	@$(BUILD)/bin/Tolva3DView

fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTOLVA_FUZZ=ON -DTOLVA_TESTS=OFF -DTOLVA_BENCH=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@tests/fuzz/run-all $(FUZZ_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD)

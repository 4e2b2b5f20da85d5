# One-command entry points. Every target installs what it needs first.
BUILD          ?= build
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD     ?= build-fuzz
BUILD_TYPE     ?= Release
JOBS           ?= $(shell nproc)
FUZZ_SECONDS   ?= 60
SMOKE_SECONDS  ?= 30
# Extra options for every configure line, e.g. CMAKE_ARGS=-DTOLVA_BENCH=OFF.
CMAKE_ARGS     ?=

# -noreset: by default the server resets whenever its last client leaves, and a
# test program that connects during that reset fails with "could not connect
# to display"; with many short test programs in parallel that happens.
XVFB := xvfb-run -a -s "-screen 0 1280x1024x24 -noreset"

# The sanitizers stop at the first report. The OpenGL driver's own leaks are
# suppressed by name (tests/sanitize/lsan.supp names only driver libraries).
# Mesa unloads its software driver when a program closes its display; what the
# driver held then would show up as leaks in a module without a name, so the
# driver is kept loaded for the whole run (ahead of the ASan runtime, hence
# verify_asan_link_order=0).
MESA_DRIVER := $(firstword $(wildcard /usr/lib/*/dri/swrast_dri.so /usr/lib64/dri/swrast_dri.so /usr/lib/dri/swrast_dri.so))
SANITIZE_ENV := \
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:check_initialization_order=1:verify_asan_link_order=0 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitize/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LD_PRELOAD=$(MESA_DRIVER)

.PHONY: all deps configure build test test-unit test-sanitize bench run fuzz fuzz-build fuzz-smoke clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The whole suite under a virtual X server, so that OpenGL and window tests
# have a display; widget tests pick the offscreen platform themselves.
test: build
	@cd $(BUILD) && $(XVFB) ctest --output-on-failure -j $(JOBS) --timeout 300

# Only the tests that need no display at all.
test-unit: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS) -L unit

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer
# (-O1 with line numbers, so that reports name the line).
test-sanitize: deps
	@cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" -DTOLVA_SANITIZE=ON -DTOLVA_BENCH=OFF \
	  $(CMAKE_ARGS) >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	@cd $(SANITIZE_BUILD) && $(XVFB) env $(SANITIZE_ENV) ctest --output-on-failure -j $(JOBS) --timeout 600

bench: build
	@$(XVFB) $(BUILD)/bench/tolva_bench

# The viewer following a simulation, with a stand-in for the simulator that
# announces a new stage of a growing volcano every RUN_SECONDS.
RUN_SECONDS ?= 6
run: build
	@tools/live-demo $(BUILD)/bin $(RUN_SECONDS)

# The libFuzzer targets: clang, every library instrumented, only the fuzzers built.
fuzz-build: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTOLVA_FUZZ=ON -DTOLVA_TESTS=OFF -DTOLVA_BENCH=OFF $(CMAKE_ARGS) >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target tolva_fuzzers

# Each fuzzer for FUZZ_SECONDS on a copy of its corpus.
fuzz: fuzz-build
	@tests/fuzz/run-all $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The same for SMOKE_SECONDS each, as CI runs it: any crash fails.
fuzz-smoke: fuzz-build
	@tests/fuzz/run-all $(FUZZ_BUILD) $(SMOKE_SECONDS)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD)

# Front door of the project. `make test` and `make run` do all the set-up a
# fresh machine needs.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)

.PHONY: all setup configure build run install test asan-test fuzz bench format clean

all: build

setup:
	@bash scripts/setup.sh

$(BUILD)/build.ninja: | setup
	cmake -S . -B $(BUILD) -G Ninja

configure: setup $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Builds the program and the sample guide (written into $(BUILD)/sample-guide once,
# and again only when make-guide changes), then starts the guide on it.
# Without a display the program says how to run it headless.
run: configure
	cmake --build $(BUILD) -j $(JOBS) --target tentaria sample_guide
	$(BUILD)/app/tentaria --guide $(BUILD)/sample-guide

# Installs the programs, the sample guide, the desktop entry and the icon
# under PREFIX.
PREFIX ?= /usr/local
install: configure
	cmake --build $(BUILD) -j $(JOBS) --target tentaria sample_guide tvn make-guide
	cmake --install $(BUILD) --prefix $(PREFIX)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The whole suite again, built by clang with address and undefined-behaviour
# sanitizers.
asan-test: setup
	CC=clang CXX=clang++ cmake -S . -B $(ASAN_BUILD) -G Ninja \
	  -DCMAKE_BUILD_TYPE=Debug -DTENTARIA_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

# Each fuzz target runs for FUZZ_SECONDS under address and undefined-behaviour
# sanitizers, starting from its seed folder fuzz/corpus/<target> when present.
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 20
fuzz: setup
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DTENTARIA_SANITIZE=ON -DTENTARIA_FUZZ=ON -DTENTARIA_TESTS=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@set -e; for f in $(FUZZ_BUILD)/fuzz/*_fuzzer; do \
	  name=$$(basename $$f); work=$(FUZZ_BUILD)/corpus/$$name; mkdir -p $$work; \
	  seeds=""; [ -d fuzz/corpus/$$name ] && seeds=fuzz/corpus/$$name; \
	  echo "fuzz: $$name for $(FUZZ_SECONDS) s"; \
	  $$f -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 \
	    -print_final_stats=0 $$work $$seeds 2>$(FUZZ_BUILD)/$$name.log \
	    || { tail -50 $(FUZZ_BUILD)/$$name.log; exit 1; }; \
	done

BENCH_BUILD ?= build-bench
bench: setup
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DTENTARIA_TESTS=OFF -DTENTARIA_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	@for b in $(BENCH_BUILD)/bench/*_bench; do echo "== $$b"; $$b; done

format:
	git ls-files '*.cc' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD)

# Kovet: `make run` and `make test` do all set-up on a fresh Debian 12 machine.

BUILD_DIR    ?= build
ASAN_DIR     ?= build-asan
BENCH_DIR    ?= build-bench
FUZZ_DIR     ?= build-fuzz
JOBS         ?= 2
FUZZ_SECONDS ?= 60
GENERATOR    := -G Ninja
# What `make run` starts, and nothing else.
RUN_TARGETS  := kovet kovet-designer

.PHONY: all deps test-deps build run test test-plain test-asan bench fuzz package format clean

all: build

deps:
	@scripts/install-deps.sh

test-deps:
	@scripts/install-deps.sh --test

# Configured once; later builds let CMake notice changes of its own files.
$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOVET_TESTS=OFF

build: deps $(BUILD_DIR)/build.ninja
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: deps $(BUILD_DIR)/build.ninja
	cmake --build $(BUILD_DIR) -j $(JOBS) --target $(RUN_TARGETS)
	@scripts/run.sh $(BUILD_DIR)

test: test-plain test-asan

test-plain: test-deps
	cmake -S . -B $(BUILD_DIR) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOVET_TESTS=ON
	cmake --build $(BUILD_DIR) -j $(JOBS)
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

test-asan: test-deps
	cmake -S . -B $(ASAN_DIR) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DKOVET_SANITIZE=ON
	cmake --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --output-on-failure -j $(JOBS)

bench: test-deps
	cmake -S . -B $(BENCH_DIR) $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DKOVET_TESTS=OFF -DKOVET_BENCH=ON
	cmake --build $(BENCH_DIR) -j $(JOBS)
	$(BENCH_DIR)/bin/kovet_bench

fuzz: test-deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DKOVET_TESTS=OFF -DKOVET_FUZZ=ON
	cmake --build $(FUZZ_DIR) -j $(JOBS)
	scripts/run-fuzzers.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

# A Debian package of what `cmake --install` installs (build/kovet_*.deb).
package: build
	cd $(BUILD_DIR) && cpack -G DEB

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(BENCH_DIR) $(FUZZ_DIR)

# Everyday entry points. Each target runs scripts/setup first, so a fresh Debian machine needs
# nothing else.

BUILD       ?= build
SAN_BUILD   ?= build-sanitize
BENCH_BUILD ?= build-bench
FUZZ_BUILD  ?= build-fuzz
JOBS        ?= $(shell nproc)
FUZZ_SECONDS ?= 60
CMAKE_GEN   := -G Ninja

.PHONY: setup build test sanitize demo run bench fuzz clean format

setup:
	@scripts/setup

build: setup
	@cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLUMOR_BUILD_BENCH=OFF >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

sanitize: setup
	@cmake -S . -B $(SAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DVELLUMOR_SANITIZE=ON \
	  -DVELLUMOR_BUILD_BENCH=OFF -DCMAKE_CXX_FLAGS="-O1" >/dev/null
	@cmake --build $(SAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(SAN_BUILD) --output-on-failure -j $(JOBS)

demo: build
	@scripts/demo $(BUILD)

run: build
	@$(BUILD)/bin/vellumor examples/sample.html

bench: setup
	@cmake -S . -B $(BENCH_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DVELLUMOR_BUILD_TESTS=OFF >/dev/null
	@cmake --build $(BENCH_BUILD) -j $(JOBS)
	@for b in $(BENCH_BUILD)/bin/*_bench; do echo "== $$b"; $$b --benchmark_min_time=0.5 || exit 1; done

fuzz: setup
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DVELLUMOR_BUILD_FUZZ=ON -DVELLUMOR_BUILD_TESTS=OFF -DVELLUMOR_BUILD_BENCH=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@scripts/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD)

# Thin wrapper around CMake: the two commands of the README and a few helpers.
JOBS ?= 2
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
BENCH_BUILD ?= build-bench
FUZZ_SECONDS ?= 30

.PHONY: all run test test-plain test-sanitize fuzz fuzz-smoke bench memcheck format clean

all:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j$(JOBS)

# Build both programs and fit the bundled example (in a scratch copy of examples/).
run:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j$(JOBS) --target velkor velkor-b
	rm -rf $(BUILD)/example && mkdir -p $(BUILD)/example && cp examples/* $(BUILD)/example/
	cd $(BUILD)/example && ../bin/velkor -f params.txt

# Every test, once in a plain release build and once under AddressSanitizer and UBSan.
test: test-plain test-sanitize

test-plain:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DVELKOR_TESTS=ON
	cmake --build $(BUILD) -j$(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

test-sanitize:
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Release -DVELKOR_TESTS=ON -DVELKOR_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j$(JOBS)
	cd $(SANITIZE_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j$(JOBS)

# libFuzzer targets (clang); fuzz-smoke runs each for FUZZ_SECONDS.
fuzz:
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=Release -DVELKOR_TESTS=OFF -DVELKOR_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j$(JOBS)

fuzz-smoke: fuzz
	bash fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

bench:
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DVELKOR_TESTS=OFF -DVELKOR_BENCH=ON
	cmake --build $(BENCH_BUILD) -j$(JOBS)
	$(BENCH_BUILD)/bin/objective_bench
	BUILD_DIR=$(abspath $(BENCH_BUILD)) bash bench/run-large.sh

# The example under Valgrind's memcheck: no errors, no leaks.
memcheck:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j$(JOBS) --target velkor
	rm -rf $(BUILD)/memcheck && mkdir -p $(BUILD)/memcheck && cp examples/* $(BUILD)/memcheck/
	cd $(BUILD)/memcheck && valgrind --tool=memcheck --leak-check=full --show-leak-kinds=all \
		--errors-for-leak-kinds=all --error-exitcode=1 ../bin/velkor -f params.txt > stdout.txt

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD)

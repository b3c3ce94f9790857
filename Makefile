# Thin wrapper around CMake: what the README's two commands run (tools/setup.sh run|test
# installs what is missing, make among it, then runs make run|test) and a few helpers.
JOBS ?= 2
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
BENCH_BUILD ?= build-bench
FUZZ_SECONDS ?= 30

# The report's gnuplot scripts are UTF-8; under a locale that is not (a bare Debian sets none)
# gnuplot warns about it on every run, and the report tests fail on that word from gnuplot.
# C.UTF-8 comes with every Debian's libc.
ifneq ($(shell locale charmap 2>/dev/null),UTF-8)
export LC_ALL := C.UTF-8
endif

.PHONY: all run test test-plain test-sanitize fuzz fuzz-smoke fuzz-regression bench memcheck \
	format clean prerequisites-run prerequisites-test

all: prerequisites-run
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DVELKOR_TESTS=OFF
	cmake --build $(BUILD) -j$(JOBS)

# The Debian packages each of the two commands needs: installed when missing (as root),
# or a stop with the one line to run. Silent when everything is there.
prerequisites-run:
	@bash tools/prerequisites.sh run

prerequisites-test:
	@bash tools/prerequisites.sh test

# Build both programs and their reports, fit the bundled example (in a scratch copy of
# examples/) and write the report of that fit.
# The tests are not configured, so this needs no GoogleTest.
run: prerequisites-run
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DVELKOR_TESTS=OFF
	cmake --build $(BUILD) -j$(JOBS) --target velkor velkor-b velkor-report velkor-b-report
	rm -rf $(BUILD)/example && mkdir -p $(BUILD)/example && cp examples/*.txt $(BUILD)/example/
	cd $(BUILD)/example && ../bin/velkor -f params.txt
	@echo
	@echo "=== the report of the same fit: build/example/report.{json,tsv,gp,svg,png}"
	cd $(BUILD)/example && ../bin/velkor-report -f params.txt --time-unit s --conc-unit mM

# Every test, once in a plain release build and once under AddressSanitizer and UBSan,
# then every seed of the fuzz corpora replayed by its fuzz targets.
test: test-plain test-sanitize fuzz-regression

test-plain test-sanitize fuzz: prerequisites-test

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

# Each fuzz target fuzz_<kind> or fuzz_<kind>_c<N> runs once over every input kept in
# fuzz/corpus/<kind>/ (-runs=0: no fuzzing), so every finding kept there is a regression test.
# Fails when an input crashes, leaks, trips a sanitizer or hangs, or when no target has a corpus.
fuzz-regression: fuzz
	@failed=0; replayed=0; \
	for bin in $(FUZZ_BUILD)/bin/fuzz_*; do \
		[ -x "$$bin" ] || continue; \
		target=$${bin##*/}; kind=$$(echo "$${target#fuzz_}" | sed -E 's/_c[0-9]+$$//'); \
		corpus=$(CURDIR)/fuzz/corpus/$$kind; \
		if [ ! -d "$$corpus" ]; then echo "=== $$target: no fuzz/corpus/$$kind, skipped"; continue; fi; \
		echo "=== $$target: $$(ls -A "$$corpus" | wc -l) inputs of fuzz/corpus/$$kind"; \
		log=$(abspath $(FUZZ_BUILD))/fuzz-regression-$$target.log; \
		artifacts=$(abspath $(FUZZ_BUILD))/fuzz-regression-artifacts/$$target/; \
		mkdir -p "$$artifacts"; \
		if "$$bin" -runs=0 -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$$artifacts" \
			"$$corpus" >"$$log" 2>&1; then replayed=$$((replayed + 1)); \
		else \
			echo "--- $$target failed; log: $$log"; \
			grep -E 'ERROR|runtime error|Test unit written|Running' "$$log" | tail -n 20; \
			failed=1; \
		fi; \
	done; \
	if [ $$replayed -eq 0 ] && [ $$failed -eq 0 ]; then \
		echo "no fuzz target with a seed corpus in $(FUZZ_BUILD)/bin"; failed=1; fi; \
	exit $$failed

bench:
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DVELKOR_TESTS=OFF -DVELKOR_BENCH=ON
	cmake --build $(BENCH_BUILD) -j$(JOBS)
	$(BENCH_BUILD)/bin/objective_bench
	$(BENCH_BUILD)/bin/plate_bench
	BUILD_DIR=$(abspath $(BENCH_BUILD)) bash bench/run-large.sh

# The example under Valgrind's memcheck: no errors, no leaks.
memcheck: prerequisites-run
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DVELKOR_TESTS=OFF
	cmake --build $(BUILD) -j$(JOBS) --target velkor
	rm -rf $(BUILD)/memcheck && mkdir -p $(BUILD)/memcheck && cp examples/*.txt $(BUILD)/memcheck/
	cd $(BUILD)/memcheck && valgrind --tool=memcheck --leak-check=full --show-leak-kinds=all \
		--errors-for-leak-kinds=all --error-exitcode=1 ../bin/velkor -f params.txt > stdout.txt

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD)

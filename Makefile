# make run   installs what is missing, builds and opens the window
# make test  installs what is missing, builds and runs every test headless: the normal build,
#            the same suite under AddressSanitizer and UndefinedBehaviorSanitizer, and a few
#            seconds of each fuzz target
# make fuzz  runs each fuzz target for FUZZ_SECONDS (default 60)
# make bench builds and runs the benchmarks
FUZZ_SECONDS ?= 60

.PHONY: deps build run test test-normal test-sanitize fuzz bench clean

deps:
	./tools/install-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default

run: build
	./build-default/genart

test: test-normal test-sanitize
	$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=5

test-normal: build
	ctest --preset default

test-sanitize: deps
	cmake --preset sanitize
	cmake --build --preset sanitize
	ctest --preset sanitize

fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz --target pipeline_fuzzer recipe_fuzzer
	./tools/run-fuzzers.sh $(FUZZ_SECONDS)

bench: build
	./build-default/bench/genart_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

clean:
	rm -rf build-*

# make run   installs what is missing, builds and opens the window
# make test  installs what is missing, builds and runs every test headless
# make bench builds and runs the benchmarks
PRESET ?= default
BUILD := build-$(PRESET)

.PHONY: deps build run test bench clean

deps:
	./tools/install-deps.sh

build: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)

run: build
	./$(BUILD)/genart

test: build
	ctest --preset $(PRESET)

bench: build
	./$(BUILD)/bench/genart_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

clean:
	rm -rf build-*

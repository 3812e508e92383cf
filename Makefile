# make run   installs what is missing, builds and opens the window
# make test  installs what is missing, builds and runs every test headless: the normal build,
#            the same suite under AddressSanitizer and UndefinedBehaviorSanitizer, and a few
#            seconds of each fuzz target
# make fuzz  runs each fuzz target for FUZZ_SECONDS (default 60)
# make bench builds and runs the benchmarks
# make package      builds the Debian package build-package/genart_<version>_<arch>.deb
# make install      builds the program alone and installs it, stripped, under PREFIX (/usr/local)
# make check-package builds the package and checks it (lintian, validators, the packaged program)
FUZZ_SECONDS ?= 60
PREFIX ?= /usr/local

.PHONY: deps build run test test-normal test-sanitize fuzz bench package build-package install check-package clean

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

build-package: deps
	cmake --preset package
	cmake --build --preset package

package: build-package
	rm -f build-package/genart_*.deb
	cpack --preset package

install: build-package
	cmake --install build-package --strip --prefix $(PREFIX)

check-package:
	./tools/check-package.sh

clean:
	rm -rf build-*

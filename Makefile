# Tamsel: the everyday commands. `make run` and `make test` work on a fresh
# Debian or Ubuntu machine: they install what is missing first.

BUILD      ?= build
RUN_BUILD  ?= build-run
BENCH_BUILD ?= build-bench
FUZZ_BUILD ?= build-fuzz
PACKAGE_BUILD ?= build-package
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 30

.PHONY: all bootstrap build test run bench fuzz package format clean

all: build

bootstrap:
	@scripts/bootstrap

# The test build runs under AddressSanitizer and UndefinedBehaviorSanitizer.
build: bootstrap
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAMSEL_SANITIZE=ON
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 300

run: bootstrap
	cmake -S . -B $(RUN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAMSEL_TESTS=OFF
	cmake --build $(RUN_BUILD) -j $(JOBS)
	scripts/run $(RUN_BUILD)

bench: bootstrap
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAMSEL_TESTS=OFF -DTAMSEL_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	scripts/bench $(BENCH_BUILD)

# One libFuzzer target per parser, each run for FUZZ_SECONDS.
fuzz: bootstrap
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTAMSEL_TESTS=OFF -DTAMSEL_GUI=OFF -DTAMSEL_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_all
	scripts/fuzz $(FUZZ_BUILD) $(FUZZ_SECONDS)

# A Debian package of the release build, in $(PACKAGE_BUILD)/.
package: bootstrap
	cmake -S . -B $(PACKAGE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAMSEL_TESTS=OFF \
	  -DCMAKE_INSTALL_PREFIX=/usr
	cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	cd $(PACKAGE_BUILD) && cpack -G DEB

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(RUN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD) $(PACKAGE_BUILD)

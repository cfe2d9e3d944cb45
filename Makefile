# The two commands of the README: `make run` and `make test`. Both install what is missing.
BUILD ?= build
CMAKE_FLAGS = -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release
JOBS ?= 2

.PHONY: deps configure build test run bench snapshots fuzz fuzz-native dist clean

deps:
	@tools/install-deps.sh

configure: deps
	@[ -f $(BUILD)/CMakeCache.txt ] || cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	cmake --build $(BUILD) -j$(JOBS)

test: build
	tools/check-deps.py
	tools/with-wine.sh $(BUILD) ctest --test-dir $(BUILD) --output-on-failure -j1

run: configure
	cmake --build $(BUILD) -j$(JOBS) --target quorvel
	tools/run-saver.sh $(BUILD)

bench: configure
	cmake --build $(BUILD) -j$(JOBS) --target quorvel qbench
	QUORVEL_SCREEN=1920x1080x24 tools/with-wine.sh $(BUILD) tools/bench.sh $(BUILD)

snapshots: configure
	cmake --build $(BUILD) -j$(JOBS) --target quorvel qsnapshot qdriver
	tools/with-wine.sh $(BUILD) tools/snapshots.sh $(BUILD)

fuzz: configure
	cmake --build $(BUILD) -j$(JOBS) --target qfuzz
	tools/with-wine.sh $(BUILD) tools/fuzz/fuzz.sh $(BUILD) $${QUORVEL_FUZZ_MUTANTS:-5000} $${QUORVEL_FUZZ_SEED:-1}

# The release for Windows users: dist/QUORVEL-<version>-win64.msi and .zip, and their checksums.
dist: configure
	cmake --build $(BUILD) -j$(JOBS) --target quorvel quorvel_setup
	tools/dist/dist.sh $(BUILD) dist

# Each parser of untrusted bytes built natively with libFuzzer and the sanitizers, run for
# QUORVEL_NATIVE_FUZZ_SECONDS (600) each.
fuzz-native: deps
	tools/fuzz/native/run.sh $(BUILD)

clean:
	rm -rf $(BUILD) dist

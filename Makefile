# The README's commands. Everything builds out of tree in build/ (bench: build-bench/).
BUILD ?= build
JOBS ?= 2
CMAKE_FLAGS ?=

.PHONY: all deps build run test bench soak format clean

all: build

deps:
	./scripts/install-deps

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/app/quillora

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Engine sheet and floor per form (medians of 10 runs, see bench/README.md), then the
# command-line batch of 1,000 worksheets.
bench: deps
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build build-bench -j $(JOBS) --target quillora-bench quillora-sheet
	build-bench/bench/quillora-bench --benchmark_repetitions=10 --benchmark_min_time=0.1 \
	    --benchmark_report_aggregates_only=true
	bench/cli_batch.sh build-bench

# Every form of every family, 1,000,000 problems each, through the invariant checks.
soak: deps
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build build-bench -j $(JOBS) --target quillora-soak
	build-bench/tests/quillora-soak --problems 1000000

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) build-bench

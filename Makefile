# Thin front door over CMake. `make run` builds and starts VELDRIX,
# `make test` builds and runs every test.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=
FORMAT_FILES = $(shell git ls-files '*.cpp' '*.hpp' 2>/dev/null)

.PHONY: all build run test asan format format-check bench clean

all: build

build:
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/veldrix

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

asan:
	cmake -S . -B $(ASAN_BUILD) -DVELDRIX_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

format:
	clang-format -i $(FORMAT_FILES)

format-check:
	clang-format --dry-run --Werror $(FORMAT_FILES)

BENCHES = $(basename $(notdir $(wildcard benchmarks/*.cpp)))

bench: build
	cmake --build $(BUILD) -j $(JOBS) --target $(BENCHES)
	@for b in $(BENCHES); do echo "== $$b"; ./$(BUILD)/$$b || exit 1; done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)

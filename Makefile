# Thin front door over CMake. `make run` builds and starts VELDRIX,
# `make test` builds and runs every test.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=
FORMAT_FILES = $(shell git ls-files '*.cpp' '*.hpp' 2>/dev/null)

.PHONY: all build run test asan format format-check bench fuzz clean windows-test linux32-test \
        windows-build linux32-build

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
	@clang-format -i $(FORMAT_FILES)

format-check:
	@clang-format --dry-run --Werror $(FORMAT_FILES)

BENCHES = $(basename $(notdir $(wildcard benchmarks/*.cpp)))

bench: build
	cmake --build $(BUILD) -j $(JOBS) --target $(BENCHES)
	@failed=0; for b in $(BENCHES); do echo "== $$b"; ./$(BUILD)/$$b || failed=1; done; exit $$failed

# Each libFuzzer target runs FUZZ_SECONDS on a scratch corpus under
# $(FUZZ_BUILD) (seeded from fuzz/corpus, the data file and, when present, the
# real dumps) and stops at the first finding, kept in $(FUZZ_BUILD)/findings.
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS  = dump_reader ini_file menu
DUMPS_DIR    ?= ../shared/dumps

# Corpus and findings are named by absolute paths: the whole-program target
# works in a scratch folder of its own.
FUZZ_DIR      = $(abspath $(FUZZ_BUILD))

fuzz:
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DVELDRIX_FUZZ=ON -DVELDRIX_TESTS=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS))
	mkdir -p $(FUZZ_DIR)/findings $(addprefix $(FUZZ_DIR)/corpus/,$(sort dump_reader ini_file $(FUZZ_TARGETS)))
	if [ -d $(DUMPS_DIR) ]; then cp $(DUMPS_DIR)/*.txt $(FUZZ_DIR)/corpus/dump_reader/; fi
	cp data/veldrix.dat $(FUZZ_DIR)/corpus/ini_file/
	for target in $(FUZZ_TARGETS); do \
	  ./$(FUZZ_BUILD)/fuzz_$$target -max_total_time=$(FUZZ_SECONDS) -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
	    -print_final_stats=1 -artifact_prefix=$(FUZZ_DIR)/findings/$$target- \
	    $(FUZZ_DIR)/corpus/$$target $(CURDIR)/fuzz/corpus/$$target || exit 1; \
	done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(WIN64_BUILD) $(WIN32_BUILD) $(LINUX32_BUILD)

# Windows (mingw-w64, tested under wine) and 32-bit Linux (-m32) builds.
# GoogleTest is built from Debian's sources with each build's own compiler.
WIN64_BUILD   ?= build-win64
WIN32_BUILD   ?= build-win32
LINUX32_BUILD ?= build-linux32
GTEST_SOURCE  ?= /usr/src/googletest
LINUX32_PACKAGES = g++-multilib googletest
WINDOWS_PACKAGES = $(LINUX32_PACKAGES) g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix \
                   binutils-mingw-w64-x86-64 wine wine64 wine32:i386
CROSS_TARGETS = --target veldrix veldrix_tests

linux32-build:
	scripts/install-packages.sh $(LINUX32_PACKAGES)
	cmake -S . -B $(LINUX32_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-linux32.cmake \
	      -DVELDRIX_GTEST_SOURCE=$(GTEST_SOURCE) $(CMAKE_FLAGS)
	cmake --build $(LINUX32_BUILD) -j $(JOBS) $(CROSS_TARGETS)

linux32-test: linux32-build
	@od -An -tx1 -j4 -N1 $(LINUX32_BUILD)/veldrix | grep -qx ' 01' || \
	    { echo "$(LINUX32_BUILD)/veldrix is not a 32-bit program"; exit 1; }
	scripts/run-suite.sh "$(LINUX32_BUILD) (-m32) tests" $(LINUX32_BUILD)/tests.log \
	    $(LINUX32_BUILD)/veldrix_tests

windows-build: linux32-build
	scripts/install-packages.sh $(WINDOWS_PACKAGES)
	cmake -S . -B $(WIN64_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake \
	      -DVELDRIX_GTEST_SOURCE=$(GTEST_SOURCE) $(CMAKE_FLAGS)
	cmake --build $(WIN64_BUILD) -j $(JOBS) $(CROSS_TARGETS)
	cmake -S . -B $(WIN32_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake \
	      -DVELDRIX_GTEST_SOURCE=$(GTEST_SOURCE) $(CMAKE_FLAGS)
	cmake --build $(WIN32_BUILD) -j $(JOBS) $(CROSS_TARGETS)

# The Linux -m32 test binary drives the end-to-end tests against each .exe.
windows-test: windows-build
	scripts/windows-test.sh $(LINUX32_BUILD) $(WIN64_BUILD) $(WIN32_BUILD)

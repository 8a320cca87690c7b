# Thin front door over CMake. `make run` builds and starts VELDRIX,
# `make test` builds and runs every test.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=
# Our own builds treat warnings as errors; a plain cmake configure does not.
OUR_FLAGS   = -DVELDRIX_WERROR=ON
FORMAT_FILES = $(shell git ls-files '*.cpp' '*.hpp' 2>/dev/null)

.PHONY: all configure build run test asan format format-check bench fuzz clean windows-test linux32-test release-check \
        windows-build linux32-build interop-test

all: build

# The program of our own build is linked statically: it starts faster.
configure:
	cmake -S . -B $(BUILD) $(OUR_FLAGS) -DVELDRIX_STATIC=ON $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Only the program and its data file: no test is compiled to reach the menu.
run: configure
	cmake --build $(BUILD) -j $(JOBS) --target veldrix
	./$(BUILD)/veldrix

# groff renders the manual page in the installation test; Debian's cpuid
# reads what --dump writes.
TEST_PACKAGES = groff-base cpuid

test: build
	scripts/install-packages.sh $(TEST_PACKAGES)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

asan:
	cmake -S . -B $(ASAN_BUILD) -DVELDRIX_SANITIZE=ON $(OUR_FLAGS) $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	scripts/install-packages.sh $(TEST_PACKAGES)
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
FUZZ_TARGETS  = dump_reader ini_file capabilities menu elf_isa_level
DUMPS_DIR    ?= tests/data/dumps

# Corpus and findings are named by absolute paths: the whole-program target
# works in a scratch folder of its own.
FUZZ_DIR      = $(abspath $(FUZZ_BUILD))

fuzz:
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DVELDRIX_FUZZ=ON -DVELDRIX_TESTS=OFF $(OUR_FLAGS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS))
	mkdir -p $(FUZZ_DIR)/findings $(addprefix $(FUZZ_DIR)/corpus/,$(sort dump_reader ini_file capabilities $(FUZZ_TARGETS)))
	cp $(DUMPS_DIR)/*.txt $(DUMPS_DIR)/*.test $(FUZZ_DIR)/corpus/dump_reader/
	cp $(DUMPS_DIR)/* $(FUZZ_DIR)/corpus/capabilities/
	cp data/veldrix.dat $(FUZZ_DIR)/corpus/ini_file/
	for target in $(FUZZ_TARGETS); do \
	  ./$(FUZZ_BUILD)/fuzz_$$target -max_total_time=$(FUZZ_SECONDS) -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
	    -print_final_stats=1 -artifact_prefix=$(FUZZ_DIR)/findings/$$target- \
	    $(FUZZ_DIR)/corpus/$$target $(CURDIR)/fuzz/corpus/$$target || exit 1; \
	done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(WIN64_BUILD) $(WIN32_BUILD) $(LINUX32_BUILD) \
	       $(CLANG_BUILD) $(HARDENED_BUILD)

# Windows (mingw-w64, tested under wine) and 32-bit Linux (-m32) builds.
# GoogleTest is built from Debian's sources with each build's own compiler.
WIN64_BUILD   ?= build-win64
WIN32_BUILD   ?= build-win32
LINUX32_BUILD ?= build-linux32
GTEST_SOURCE  ?= /usr/src/googletest
LINUX32_PACKAGES = g++-multilib googletest
WINDOWS_PACKAGES = $(LINUX32_PACKAGES) g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix \
                   binutils-mingw-w64-x86-64 wine wine64
# Wanted, not needed: where it cannot be installed (its i386 libraries can lag
# behind the amd64 ones on a mirror), the 32-bit .exe is built but not run.
WINE32_MISSING = $(WIN32_BUILD)/wine32-missing.txt
CROSS_TARGETS = --target veldrix veldrix_tests

linux32-build:
	scripts/install-packages.sh $(LINUX32_PACKAGES)
	cmake -S . -B $(LINUX32_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-linux32.cmake \
	      -DVELDRIX_GTEST_SOURCE=$(GTEST_SOURCE) $(OUR_FLAGS) $(CMAKE_FLAGS)
	cmake --build $(LINUX32_BUILD) -j $(JOBS) $(CROSS_TARGETS)

# The 32-bit suite runs only where the kernel can execute 32-bit programs;
# elsewhere it is built and linked (which proves it builds) and the skip is
# said loudly: it is never counted as a pass.
linux32-test: linux32-build
	@od -An -tx1 -j4 -N1 $(LINUX32_BUILD)/veldrix | grep -qx ' 01' || \
	    { echo "$(LINUX32_BUILD)/veldrix is not a 32-bit program"; exit 1; }
	@status=0; scripts/can-run-32bit.sh || status=$$?; \
	if [ $$status -eq 0 ]; then \
	    scripts/run-suite.sh "$(LINUX32_BUILD) (-m32) tests" $(LINUX32_BUILD)/tests.log \
	        $(LINUX32_BUILD)/veldrix_tests; \
	elif [ $$status -eq 1 ]; then \
	    echo "linux32-test: SKIPPED running: this kernel cannot execute 32-bit programs (built only)"; \
	else exit 1; fi

windows-build: linux32-build
	scripts/install-packages.sh $(WINDOWS_PACKAGES)
	scripts/install-packages.sh --optional $(WINE32_MISSING) wine32:i386
	cmake -S . -B $(WIN64_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake \
	      -DVELDRIX_GTEST_SOURCE=$(GTEST_SOURCE) $(OUR_FLAGS) $(CMAKE_FLAGS)
	cmake --build $(WIN64_BUILD) -j $(JOBS) $(CROSS_TARGETS)
	cmake -S . -B $(WIN32_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake \
	      -DVELDRIX_GTEST_SOURCE=$(GTEST_SOURCE) $(OUR_FLAGS) $(CMAKE_FLAGS)
	cmake --build $(WIN32_BUILD) -j $(JOBS) $(CROSS_TARGETS)

# The native Linux test binary drives the end-to-end tests against each .exe;
# the 32-bit Windows build runs only where the kernel runs 32-bit programs.
windows-test: windows-build build
	WINE32_MISSING=$(abspath $(WINE32_MISSING)) scripts/windows-test.sh $(BUILD) $(WIN64_BUILD) $(WIN32_BUILD)

# What a packager builds: Release with clang, and Release with g++ under
# Debian's hardening flags (which add -D_FORTIFY_SOURCE=2), both with
# warnings as errors; the whole suite runs once, in the hardened build.
CLANG_BUILD    ?= build-release-clang
HARDENED_BUILD ?= build-release-hardened
HARDENING_ENV   = DEB_BUILD_MAINT_OPTIONS=hardening=+all

release-check:
	cmake -S . -B $(CLANG_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Release $(OUR_FLAGS)
	cmake --build $(CLANG_BUILD) -j $(JOBS)
	cmake -S . -B $(HARDENED_BUILD) -DCMAKE_BUILD_TYPE=Release $(OUR_FLAGS) \
	      -DCMAKE_CXX_FLAGS="$$($(HARDENING_ENV) dpkg-buildflags --get CXXFLAGS) $$($(HARDENING_ENV) dpkg-buildflags --get CPPFLAGS)" \
	      -DCMAKE_EXE_LINKER_FLAGS="$$($(HARDENING_ENV) dpkg-buildflags --get LDFLAGS)"
	cmake --build $(HARDENED_BUILD) -j $(JOBS)
	scripts/install-packages.sh $(TEST_PACKAGES)
	cd $(HARDENED_BUILD) && ctest --output-on-failure -j $(JOBS)

# The outputs fed to the real programs that read them (promtool); installs
# their packages and fails when one cannot be installed.
interop-test: build
	scripts/interop-test.sh $(BUILD)/veldrix

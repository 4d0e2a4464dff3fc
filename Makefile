# The two commands of the README, `make run` and `make test`, installing
# (`make install`, `make package` for the .deb), and the reliability checks:
# `make test-sanitizers`, `make fuzz`, `make soak` and `make warnings`;
# `make windows` and `make test-windows` for the Windows build.

BUILD_DIR := build
ASAN_BUILD_DIR := build-asan
WARNINGS_BUILD_DIR := build-warnings
WINDOWS_BUILD_DIR := build-windows
FUZZ_BUILD_DIR := build-fuzz
# Time of each fuzzer in seconds, and of the soak run.
FUZZ_SECONDS ?= 300
SOAK_SECONDS ?= 600
# Where `make install` puts the program (DESTDIR is honoured as well).
PREFIX ?= /usr/local
.PHONY: all deps configure build run test install package test-sanitizers fuzz soak warnings windows test-windows clean

all: build

# Installs only what is missing; quick when everything is there.
deps:
	bash scripts/install-deps.sh

configure: deps
	cmake --preset default

build: configure
	cmake --build --preset default -j 2

# Run mode on the zandreth.ini beside the binary (the shipped one on a first
# build; the build never overwrites one that is already there).
run: build
	$(BUILD_DIR)/zandreth /S

test: build
	ctest --preset default

# The program, its catalogue, icon, desktop entry and xscreensaver files
# under PREFIX, for every user of the machine.
install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# The Debian package build/zandreth_<version>-<revision>_<architecture>.deb:
# the same installation under /usr, with its dependencies computed by
# dpkg-shlibdeps, its copyright, changelog and manual page.
package: build
	cd $(BUILD_DIR) && cpack -G DEB

# Every test again, built with AddressSanitizer, LeakSanitizer and
# UndefinedBehaviorSanitizer, in build-asan/.
test-sanitizers: deps
	cmake --preset asan
	cmake --build --preset asan -j 2
	ctest --preset asan

# The libFuzzer fuzzers of the settings-file readers and writer, built with
# clang in build-fuzz/, each run for FUZZ_SECONDS seconds.
fuzz: deps
	cmake -S tests/fuzz -B $(FUZZ_BUILD_DIR) -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_BUILD_DIR) -j 2
	bash tests/fuzz/run.sh $(FUZZ_BUILD_DIR) $(FUZZ_SECONDS)

# The real program in run mode for SOAK_SECONDS seconds under its own Xvfb:
# fails when it dies or its memory grows.
soak: build
	bash scripts/soak.sh $(BUILD_DIR)/zandreth $(SOAK_SECONDS)

# The program built with -Wall -Wextra -Wpedantic -Wshadow -Werror in
# build-warnings/: a warning in our own code fails it.
warnings: deps
	cmake --preset warnings
	cmake --build --preset warnings -j 2

# The Windows program build-windows/zandreth.scr, cross-compiled with
# mingw-w64 and statically linked, and the downloads
# build-windows/zandreth-windows.zip (the program, the shipped zandreth.ini,
# the install note and the licences) and build-windows/zandreth-setup.exe
# (their installer for the current user, built with NSIS).
windows: deps
	cmake --preset windows
	cmake --build --preset windows -j 2 --target windows_package

# The Windows build of `make windows` (the program zandreth.scr on its Win32
# backend, statically linked, with its tests) in build-windows/, and the tests
# run under Wine in a Wine prefix of that folder's own: the platform's
# services and forms, the data, the download, and zandreth.scr driven whole.
test-windows: deps
	cmake --preset windows
	cmake --build --preset windows -j 2
	ctest --preset windows

clean:
	rm -rf $(BUILD_DIR) $(ASAN_BUILD_DIR) $(FUZZ_BUILD_DIR) $(WARNINGS_BUILD_DIR) $(WINDOWS_BUILD_DIR)

# The two commands of the README: `make run` and `make test`.

BUILD_DIR := build
.PHONY: all deps configure build run test clean

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

clean:
	rm -rf $(BUILD_DIR)

# Two commands set everything up on a fresh Debian machine:
#   make run    installs what is missing, builds, starts Ruvela_v12 on the examples
#   make test   installs what is missing, builds, runs every test
BUILD   ?= build
JOBS    ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build run test check fuzz bench clean

all: build

deps:
	sh scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	cd examples && ../$(BUILD)/Ruvela_v12

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD)

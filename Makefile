# Two commands set everything up on a fresh Debian machine:
#   make run    installs what is missing, builds, starts Ruvela_v12 on the examples
#   make test   installs what is missing, builds, runs every test
#   make check  after make test: the whole suite again under AddressSanitizer
#               and UndefinedBehaviorSanitizer (clang, folder build-san)
#   make fuzz   libFuzzer targets for every input, FUZZ_SECONDS each (folder build-fuzz)
#   make install  builds, then installs the programs, the man page, the README,
#               the examples and the bash completion under PREFIX (default
#               /usr/local); DESTDIR is honoured
#   make deb    builds the Debian package ruvela_<version>_<arch>.deb here
#   make deb-check  builds it and checks it (lintian, then unpacked and run
#               from a scratch folder; nothing is installed)
BUILD   ?= build
SAN_BUILD  ?= build-san
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS    ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX  ?= /usr/local

.PHONY: all deps configure build run test install deb deb-check check fuzz bench clean

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

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# The version is project()'s in CMakeLists.txt, as the configured build has it.
VERSION_OF_BUILD = sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' $(BUILD)/CMakeCache.txt

deb: build
	rm -f $(BUILD)/ruvela_*.deb ruvela_*.deb
	cd $(BUILD) && cpack -G DEB
	cp $(BUILD)/ruvela_*.deb .

deb-check: deb
	version=$$($(VERSION_OF_BUILD)); \
	sh scripts/deb-check.sh "ruvela_$${version}_$$(dpkg --print-architecture).deb" "$$version"

# Any report stops the program that made it, so a test fails on it; the
# programs that end-to-end tests start inherit these settings.
SAN_ENV = ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1 \
          UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

check: test
	cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRUVELA_SANITIZE=ON \
	  -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(SAN_BUILD) -j $(JOBS)
	$(SAN_ENV) ctest --test-dir $(SAN_BUILD) --output-on-failure -j $(JOBS)

fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRUVELA_FUZZ=ON -DRUVELA_SANITIZE=ON \
	  -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target ruvela_fuzz
	$(SAN_ENV) FUZZ_SECONDS=$(FUZZ_SECONDS) sh fuzz/run.sh $(FUZZ_BUILD)

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD)

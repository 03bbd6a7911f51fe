# The two set-up commands of the README: `make run` and `make test`; `make package` builds the
# Debian package.
BUILD ?= build
PACKAGE_BUILD ?= build-deb
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test fuzz install package clean format

all: build

deps:
	@bash scripts/deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD)

test: build
	@bash scripts/test.sh $(BUILD)

# libFuzzer targets (clang), each run for FUZZ_SECONDS; FUZZ_TARGETS picks some of them.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?=
fuzz: deps
	@bash scripts/fuzz.sh build-fuzz $(FUZZ_SECONDS) $(FUZZ_TARGETS)

install: build
	cmake --install $(BUILD)

package: deps
	@bash scripts/package.sh $(PACKAGE_BUILD) $(JOBS)

format:
	@find src tests tools bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(PACKAGE_BUILD)

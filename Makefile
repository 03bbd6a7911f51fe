# The two set-up commands of the README: `make run` and `make test`; `make package` builds the
# Debian package.
BUILD ?= build
PACKAGE_BUILD ?= build-deb
SANITIZE_BUILD ?= build-asan
JOBS ?= $(shell nproc)
# Warnings fail the build; `make run WERROR=OFF` builds anyway (e.g. with a newer compiler).
WERROR ?= ON

.PHONY: all deps configure build run test test-sanitized fuzz format format-check lint install package clean

all: build

deps:
	@bash scripts/deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DZORVEL_WERROR=$(WERROR) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD)

# Format first (cheap), then every test, then the core and window tests once more under the
# address and undefined-behaviour sanitizers.
test: deps
	@$(MAKE) --no-print-directory format-check
	@$(MAKE) --no-print-directory build
	@bash scripts/test.sh $(BUILD)
	@$(MAKE) --no-print-directory test-sanitized

test-sanitized: deps
	@ZORVEL_WERROR=$(WERROR) bash scripts/test_sanitized.sh $(SANITIZE_BUILD) $(JOBS)

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
	@find src tests tools bench \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format -i

format-check:
	@find src tests tools bench \( -name '*.cpp' -o -name '*.h' \) -print0 | \
	    xargs -0 clang-format --dry-run -Werror || \
	    { echo "Formatting differs from .clang-format; run 'make format'."; exit 1; }

# clang-tidy over src/ with the checks of .clang-tidy; slow, so not part of `make test`.
lint: build
	@bash scripts/lint.sh $(BUILD) $(JOBS)

clean:
	rm -rf $(BUILD) $(PACKAGE_BUILD) $(SANITIZE_BUILD) build-fuzz

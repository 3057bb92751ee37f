# Set-up commands: `make run` and `make test` install what is missing, build, then run.
# SANITIZE=1 builds with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan,
# SANITIZE=thread with ThreadSanitizer into build-tsan (any other sanitizer into build-<name>),
# leaving the normal build alone.
SANITIZE ?=
SANITIZERS = $(SANITIZE)
ifeq ($(SANITIZE),)
BUILD_DIR ?= build
else ifeq ($(SANITIZE),1)
SANITIZERS = address,undefined
BUILD_DIR ?= build-asan
else ifeq ($(SANITIZE),thread)
BUILD_DIR ?= build-tsan
else
BUILD_DIR ?= build-$(SANITIZE)
endif
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
# WERROR=1 turns compiler warnings into errors (continuous integration builds with it).
WERROR ?=
# ThreadSanitizer runs leave out the window tests: Qt's own painting threads are not built with
# the sanitizer, which then reports them.  The SANITIZE=1 run takes them all.
ifeq ($(SANITIZE),1)
TEST_ENV ?= UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
else ifneq ($(SANITIZE),)
CTEST_ARGS ?= -E "_ui\."
endif
# The fuzz targets (tests/fuzz/) build with clang into a folder of their own and run
# FUZZ_SECONDS each.
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
# `make install` puts the programs, desktop entry, icon, metainfo and manual pages below PREFIX,
# itself below DESTDIR when that is set (for packaging).
PREFIX ?= /usr/local
DESTDIR ?=

.PHONY: all deps configure build run test install bench fuzz format tidy clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVASTEL_SANITIZE=$(SANITIZERS) \
		-DVASTEL_WERROR=$(if $(WERROR),ON,OFF) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/vastel

test: build
	cd $(BUILD_DIR) && $(TEST_ENV) QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) $(CTEST_ARGS)

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

bench: configure
	@scripts/install-deps --bench
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target benchmarks
	@for b in $(BUILD_DIR)/bench/bench_*; do [ -x "$$b" ] && "$$b" || exit 1; done

fuzz: deps
	@cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
		-DVASTEL_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzzers
	@scripts/run-fuzz $(FUZZ_DIR) $(FUZZ_SECONDS)

format:
	@find src tests bench -name '*.cpp' -o -name '*.h' | xargs -r clang-format -i

# The checks of .clang-tidy over src/, with the compile commands of the build folder.
tidy: build
	@run-clang-tidy -quiet -p $(BUILD_DIR) -j $(JOBS) '/src/' >$(BUILD_DIR)/tidy.log 2>&1 \
		|| { grep -E 'warning:|error:' $(BUILD_DIR)/tidy.log; exit 1; }
	@echo "clang-tidy: no findings"

clean:
	rm -rf $(BUILD_DIR)

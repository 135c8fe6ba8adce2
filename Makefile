# Orvandel — the two commands are `make run` and `make test`.
# Each first installs whatever Debian packages are missing.

SHELL := /bin/bash
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
BUILD := build/default
ASAN := build/asan
RUNDIR := build/run

.PHONY: all deps configure build run test test-asan test-package bench fuzz format clean package

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake --preset default >/dev/null

build: configure
	@cmake --build --preset default -j $(JOBS)

# Starts the program in a working folder that holds its data files.
run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo 'Orvandel needs a graphical display and none is available (DISPLAY is not set); without a screen, start it under Xvfb: xvfb-run -a -s "-screen 0 1920x1080x24" make run'; \
	  exit 1; \
	fi
	@mkdir -p $(RUNDIR)
	@for f in data/*; do case "$$f" in *.md) ;; *) cp -f "$$f" $(RUNDIR)/ ;; esac; done
	@cd $(RUNDIR) && ../default/bin/Orvandel $(ARGS)

# Every test but the package's (make test-package runs that one).
test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS) -LE package

# The unit tests built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan -j $(JOBS)
	@cd $(ASAN) && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS) -LE e2e

bench: build
	@for b in $(BUILD)/bin/bench_*; do [ -x "$$b" ] && QT_QPA_PLATFORM=offscreen "$$b" || true; done

fuzz: deps
	@tools/run-fuzzers $(FUZZ_SECONDS)

# The Debian package (orvandel_<version>_<arch>.deb in build/default).
package: build
	@cd $(BUILD) && cpack -G DEB

# Builds the package apart and checks it with lintian, desktop-file-validate
# and appstreamcli.
test-package: build
	@cd $(BUILD) && ctest --output-on-failure -L package

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build

# Top-level entry points. `make run` and `make test` are all a newcomer needs.
BUILD      ?= build
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc)

# Every Debian package that building, testing and running need.
DEPS = build-essential cmake ninja-build pkg-config \
       qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev \
       libhidapi-dev libudev-dev libglib2.0-dev libx11-dev gsettings-desktop-schemas \
       libgtest-dev libgmock-dev libbenchmark-dev \
       xvfb xauth xdotool fonts-liberation2 \
       clang libclang-rt-14-dev python3

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps configure build test run fuzz snapshots clean

deps:
	@missing=""; \
	for p in $(DEPS); do \
	  dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "installing:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600

run: build
	tools/run/run-with-virtual-mouse.sh $(BUILD)/bin

snapshots: build
	cmake --build $(BUILD) --target snapshots
	@echo "PNG files are in $(BUILD)/snapshots/"

# libFuzzer targets, built with clang in a separate tree and run for a bounded time.
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DVELA_FUZZ=ON -DVELA_TESTS=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target vela_fuzzers
	@for f in $(FUZZ_BUILD)/fuzz/*_fuzzer; do \
	  echo "== $$f"; mkdir -p $(FUZZ_BUILD)/corpus/$$(basename $$f); \
	  $$f -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=2048 $(FUZZ_BUILD)/corpus/$$(basename $$f) || exit 1; \
	done

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD)

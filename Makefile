# The two everyday commands: `make run` and `make test`. Each runs the set-up first.
.PHONY: run test bench probewell setup fuzz fuzz-build

JOBS ?= $(shell nproc)
RELEASE_DIR := build/release
TEST_DIR := build/asan
FUZZ_DIR := build/fuzz
# Seconds each fuzz target runs under `make fuzz`; FUZZ_TARGETS="skin picture" runs only those.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?=

setup:
	@bash scripts/setup

$(RELEASE_DIR)/build.ninja:
	cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DKORVEL_TESTS=OFF -DKORVEL_BENCH=ON

$(TEST_DIR)/build.ninja:
	cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-g -O1" "-DCMAKE_C_FLAGS_DEBUG=-g -O1" -DKORVEL_SANITIZE=ON

$(FUZZ_DIR)/build.ninja:
	cmake -S fuzz -B $(FUZZ_DIR) -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++

run: setup $(RELEASE_DIR)/build.ninja
	cmake --build $(RELEASE_DIR) --target korvel zendracam-view -j $(JOBS)
	$(RELEASE_DIR)/program/korvel $(ARGS)

# The suite, then every fuzz target over its seed corpus and for a short run.
test: setup $(TEST_DIR)/build.ninja $(FUZZ_DIR)/build.ninja
	cmake --build $(TEST_DIR) -j $(JOBS)
	cd $(TEST_DIR) && ctest --output-on-failure -j $(JOBS)
	cmake --build $(FUZZ_DIR) -j $(JOBS)
	bash scripts/fuzz check

fuzz-build: setup $(FUZZ_DIR)/build.ninja
	cmake --build $(FUZZ_DIR) -j $(JOBS)

fuzz: fuzz-build
	bash scripts/fuzz run $(FUZZ_SECONDS) $(FUZZ_TARGETS)

probewell: setup $(RELEASE_DIR)/build.ninja
	cmake --build $(RELEASE_DIR) --target probewell -j $(JOBS)
	@ls $(RELEASE_DIR)/codeclister/*/probewell.exe

bench: setup $(RELEASE_DIR)/build.ninja
	cmake --build $(RELEASE_DIR) -j $(JOBS)
	@for b in $(RELEASE_DIR)/bench/*/bench_*; do [ -f "$$b" ] && [ -x "$$b" ] && "$$b"; done

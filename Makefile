# The two everyday commands: `make run` and `make test`. Each runs the set-up first.
.PHONY: run test bench probewell setup

JOBS ?= $(shell nproc)
RELEASE_DIR := build/release
TEST_DIR := build/asan

setup:
	@bash scripts/setup

$(RELEASE_DIR)/build.ninja:
	cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DKORVEL_TESTS=OFF -DKORVEL_BENCH=ON

$(TEST_DIR)/build.ninja:
	cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-g -O1" "-DCMAKE_C_FLAGS_DEBUG=-g -O1" -DKORVEL_SANITIZE=ON

run: setup $(RELEASE_DIR)/build.ninja
	cmake --build $(RELEASE_DIR) --target korvel zendracam-view -j $(JOBS)
	$(RELEASE_DIR)/program/korvel $(ARGS)

test: setup $(TEST_DIR)/build.ninja
	cmake --build $(TEST_DIR) -j $(JOBS)
	cd $(TEST_DIR) && ctest --output-on-failure -j $(JOBS)

probewell: setup $(RELEASE_DIR)/build.ninja
	cmake --build $(RELEASE_DIR) --target probewell -j $(JOBS)
	@ls $(RELEASE_DIR)/codeclister/*/probewell.exe

bench: setup $(RELEASE_DIR)/build.ninja
	cmake --build $(RELEASE_DIR) -j $(JOBS)
	@for b in $(RELEASE_DIR)/bench/*/bench_*; do [ -f "$$b" ] && [ -x "$$b" ] && "$$b"; done

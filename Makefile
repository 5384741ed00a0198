# Entry points: make demo, make test, make bench, make fuzz.
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60

.PHONY: all deps native asan win64 test demo bench fuzz clean

all: native win64

deps:
	@bash scripts/install-deps.sh

native: deps
	@cmake --preset native >/dev/null
	@cmake --build build/native -j $(JOBS)

asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build build/asan -j $(JOBS)

win64: deps
	@cmake --preset win64 >/dev/null
	@cmake --build build/win64 -j $(JOBS)

test: native asan win64
	@bash scripts/run-tests.sh

demo: native win64
	@bash scripts/demo.sh

bench: native win64
	@cmake --preset native >/dev/null
	@cmake --build build/native -j $(JOBS)
	@bash bench/run.sh

fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build build/fuzz -j $(JOBS) --target payload_fuzz names_fuzz
	@bash scripts/fuzz.sh $(FUZZ_SECONDS)

clean:
	rm -rf build

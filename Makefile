# Entry points: make demo, make test, make bench, make fuzz.
JOBS ?= $(shell nproc)
# WERROR=ON makes every compiler warning an error (CI sets it). Given once, it
# stays in each build tree's cache: a later make without it reuses that build.
WERROR ?=
CONFIGURE_FLAGS = $(if $(WERROR),-DVELMORAN_WERROR=$(WERROR))
FUZZ_SECONDS ?= 60

.PHONY: all deps native asan win64 tools test demo bench fuzz package clean

all: tools

# Both builds, with the stub put beside the Linux tool, so that
# build/native/tools/velmoran finds it as it stands.
tools: native win64
	@cp build/win64/bin/velmoran-stub.exe build/native/tools/velmoran-stub.exe

deps:
	@bash scripts/install-deps.sh

native: deps
	@cmake --preset native $(CONFIGURE_FLAGS) >/dev/null
	@cmake --build build/native -j $(JOBS)

asan: deps
	@cmake --preset asan $(CONFIGURE_FLAGS) >/dev/null
	@cmake --build build/asan -j $(JOBS)

win64: deps
	@cmake --preset win64 $(CONFIGURE_FLAGS) >/dev/null
	@cmake --build build/win64 -j $(JOBS)

test: tools asan
	@bash scripts/run-tests.sh

demo: tools
	@bash scripts/demo.sh

# The Debian package (Linux tool, stub and notices) and the Windows zip.
package: tools
	@cd build/native && cpack >/dev/null
	@cd build/win64 && cpack >/dev/null
	@mkdir -p build/packages
	@cp build/native/packages/*.deb build/win64/packages/*.zip build/packages/
	@ls -1 build/packages

bench: tools
	@bash bench/run.sh

fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build build/fuzz -j $(JOBS) --target payload_fuzz names_fuzz builder_fuzz
	@bash scripts/fuzz.sh $(FUZZ_SECONDS)

clean:
	rm -rf build

# SPDX-License-Identifier: GPL-3.0-or-later
# The two commands of the README.
#   make run   installs what is missing, builds a release build, starts Calvorn
#   make test  installs what is missing, builds with sanitizers (warnings are
#              errors), runs every test
#   make install PREFIX=...  builds a release build and installs it there

JOBS ?= $(shell nproc)
PREFIX ?= /usr/local

.PHONY: run test install

run:
	./scripts/install-deps
	cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DCALVORN_BUILD_TESTS=OFF -DCALVORN_BUILD_BENCH=OFF
	cmake --build build/release -j $(JOBS)
	./scripts/run-calvorn build/release

test:
	./scripts/install-deps
	cmake -S . -B build/debug -DCMAKE_BUILD_TYPE=Debug -DCALVORN_SANITIZE=ON -DCALVORN_WERROR=ON
	cmake --build build/debug -j $(JOBS)
	./scripts/run-tests build/debug

install:
	./scripts/install-deps
	cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DCALVORN_BUILD_TESTS=OFF -DCALVORN_BUILD_BENCH=OFF
	cmake --build build/release -j $(JOBS)
	cmake --install build/release --prefix "$(PREFIX)"

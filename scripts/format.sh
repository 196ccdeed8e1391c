#!/usr/bin/env bash
# Formats every C++ source of the project in place with the root .clang-format.
cd "$(dirname "$0")/.." && find app resources scene content proctex platform assets tools tests bench fuzz \( -name '*.h' -o -name '*.cpp' \) -print0 | xargs -0 clang-format -i

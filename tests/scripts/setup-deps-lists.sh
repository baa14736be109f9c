#!/usr/bin/env bash
# The studio's own set-up (scripts/run) installs what building and running
# need and nothing the tests, benchmarks or fuzzing use; scripts/test's list
# holds all of the studio's and its own.
set -euo pipefail
deps="$1"
run=$("$deps" --print)
test=$("$deps" --print --test)
fuzz=$("$deps" --print --fuzz)
status=0
for p in googletest libgtest-dev libgmock-dev libbenchmark-dev libpugixml-dev libfftw3-dev \
         libsndfile1-dev clang libclang-rt-14-dev xvfb xauth xdotool imagemagick fluidsynth sox; do
  if grep -qx "$p" <<<"$run"; then
    echo "scripts/run would install $p, which only tests, benchmarks or fuzzing use"
    status=1
  fi
done
for p in build-essential cmake libsdl2-dev libfreetype-dev juce-modules-source; do
  grep -qx "$p" <<<"$run" || { echo "scripts/run would not install $p"; status=1; }
done
missing=$(comm -23 <(echo "$run") <(echo "$test"))
[ -z "$missing" ] || { echo "scripts/test would not install: $missing"; status=1; }
grep -qx clang <<<"$fuzz" || { echo "--fuzz does not install clang"; status=1; }
grep -qx clang <<<"$test" && { echo "scripts/test installs clang, which only fuzzing uses"; status=1; }
exit $status

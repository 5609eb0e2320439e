#!/usr/bin/env bash
# Times every effect of brumeleaf-cli against the nearest effect of ImageMagick, G'MIC or
# OpenCV on the same 12-megapixel photograph, and writes docs/PERFORMANCE.md.
#
#   bench/peers.sh                          every effect, three runs of every command
#   RUNS=1 CODES="0 16 26" bench/peers.sh   a quick look at three effects
#
# Each command is a whole process (decoding, the effect, encoding a JPEG of quality 95), timed
# by /usr/bin/time: CPU seconds are user + system over all threads, memory is the peak resident
# size. The table shows the median of the runs; ours and the peer's take turns run by run. Ours
# also runs with one and with two threads (wall-clock time) to show what a second core brings;
# the preview timings come from the benchmark program when it is built.
#
# Environment:
#   RUNS          runs of every timed command (default 3)
#   THREAD_RUNS   runs with --threads 1 and --threads 2 (default RUNS; 0 leaves them out)
#   CODES         effect codes to time (default: every code the command line lists)
#   PREVIEW       1 (default) runs the preview benchmark when it can be built, 0 leaves it out
#   BUILD         build folder for the command line and the benchmarks (default build/release)
#   CLI, BENCH    the programs themselves, when they are built elsewhere
#   OUT           the report (default docs/PERFORMANCE.md)
#   WORK          scratch folder (default: a new temporary folder, removed at the end)
#   REUSE_FROM    the WORK folder of an earlier run on this machine: the timings found there
#                 (ours-CODE, peer-CODE, one-CODE, two-CODE) are taken instead of timing again;
#                 delete the files of what is to be measured anew (e.g. our side after a change)
#
# Installs imagemagick, gmic, python3-opencv, time and libbenchmark-dev with apt-get when they
# are missing (as root, or through sudo).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

RUNS=${RUNS:-3}
THREAD_RUNS=${THREAD_RUNS:-$RUNS}
PREVIEW=${PREVIEW:-1}
BUILD=${BUILD:-build/release}
CLI=${CLI:-$BUILD/cli/brumeleaf-cli}
BENCH=${BENCH:-$BUILD/bench/brumeleaf_bench}
OUT=${OUT:-docs/PERFORMANCE.md}
SAMPLE=resources/samples/sample.jpg
WIDTH=4000
HEIGHT=3000

say() { printf '%s\n' "$*" >&2; }

# ---------------------------------------------------------------- tools
missing=()
[ -x /usr/bin/time ] || missing+=(time)
command -v gmic > /dev/null || missing+=(gmic)
{ [ -x /usr/bin/convert ] || command -v convert > /dev/null; } || missing+=(imagemagick)
[ -x /usr/bin/python3 ] && /usr/bin/python3 -c 'import cv2' 2> /dev/null || missing+=(python3-opencv)
if [ "$PREVIEW" = 1 ] && [ ! -x "$BENCH" ] && ! dpkg -s libbenchmark-dev > /dev/null 2>&1; then
  missing+=(libbenchmark-dev)
fi
if [ ${#missing[@]} -gt 0 ]; then
  say "installing ${missing[*]}"
  sudo=()
  [ "$(id -u)" = 0 ] || sudo=(sudo)
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" > /dev/null
fi
# The Debian programs themselves, not whatever stands first on PATH.
IM=/usr/bin/convert
[ -x "$IM" ] || IM=$(command -v convert)
PY=/usr/bin/python3
GMIC=$(command -v gmic)

# ---------------------------------------------------------------- our programs
targets=()
[ -x "$CLI" ] || targets+=(brumeleaf-cli)
[ "$PREVIEW" = 1 ] && [ ! -x "$BENCH" ] && targets+=(brumeleaf_bench)
if [ ${#targets[@]} -gt 0 ]; then
  say "building ${targets[*]} in $BUILD"
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}"
  cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRUMELEAF_BUILD_APP=OFF > /dev/null
  for t in "${targets[@]}"; do
    cmake --build "$BUILD" --target "$t" > /dev/null || say "could not build $t"
  done
fi
[ -x "$CLI" ] || { say "no command line program at $CLI"; exit 1; }

# ---------------------------------------------------------------- the photograph
if [ -z "${WORK:-}" ]; then
  WORK=$(mktemp -d)
  trap 'rm -rf "$WORK"' EXIT
fi
mkdir -p "$WORK"
photo=$WORK/photo.jpg
"$IM" "$SAMPLE" -resize "${WIDTH}x${HEIGHT}!" -quality 95 "$photo"
picture_mb=$(awk -v w=$WIDTH -v h=$HEIGHT 'BEGIN { printf "%.0f", w * h * 3 / 1e6 }')

cat > "$WORK/peer.py" << 'EOF'
# The OpenCV peers: python3 peer.py OPERATION INPUT OUTPUT, all at OpenCV's default settings.
import sys
import cv2

operation, source, target = sys.argv[1:4]
picture = cv2.imread(source)
if operation == "pencil-grey":
    result = cv2.pencilSketch(picture)[0]
elif operation == "pencil-colour":
    result = cv2.pencilSketch(picture)[1]
elif operation == "stylization":
    result = cv2.stylization(picture)
elif operation == "edge-preserving":
    result = cv2.edgePreservingFilter(picture)
elif operation == "detail":
    result = cv2.detailEnhance(picture)
else:
    sys.exit("unknown operation " + operation)
cv2.imwrite(target, result, [cv2.IMWRITE_JPEG_QUALITY, 95])
EOF

# ---------------------------------------------------------------- the pairs
# peer CODE sets: peer_text (the command as the table shows it), peer_what (what the peer
# effect does) and peer_run (the command, as an array; @IN@ and @OUT@ are replaced). An empty
# peer_run: no peer effect does the same kind of thing.
peer() {
  peer_text="" peer_what="" peer_run=()
  case $1 in
    0) peer_text="ImageMagick \`-charcoal 2\`"
       peer_what="charcoal drawing: edge detection, blur and normalisation, grey"
       peer_run=("$IM" @IN@ -charcoal 2 -quality 95 @OUT@) ;;
    1) peer_text="OpenCV \`cv2.pencilSketch\` (grey)"
       peer_what="pencil sketch from a domain-transform edge-preserving filter, grey result"
       peer_run=("$PY" "$WORK/peer.py" pencil-grey @IN@ @OUT@) ;;
    2) peer_text="OpenCV \`cv2.pencilSketch\` (colour)"
       peer_what="the same pencil sketch, colour result"
       peer_run=("$PY" "$WORK/peer.py" pencil-colour @IN@ @OUT@) ;;
    3) peer_text="G'MIC \`sketchbw\`"
       peer_what="black-and-white hatching with strokes along the picture's structure"
       peer_run=("$GMIC" -v -1 @IN@ sketchbw "," -o "@OUT@,95") ;;
    4|8|27)
       peer_text="OpenCV \`cv2.stylization\`"
       peer_what="watercolour-like stylisation: edge-preserving smoothing with darkened edges"
       peer_run=("$PY" "$WORK/peer.py" stylization @IN@ @OUT@) ;;
    5|20)
       peer_text="G'MIC \`cubism\`"
       peer_what="painting with short straight brushstrokes of random orientation"
       peer_run=("$GMIC" -v -1 @IN@ cubism "," -o "@OUT@,95") ;;
    6) peer_text="OpenCV \`cv2.edgePreservingFilter\`"
       peer_what="edge-preserving smoothing (recursive domain-transform filter)"
       peer_run=("$PY" "$WORK/peer.py" edge-preserving @IN@ @OUT@) ;;
    7) peer_text="ImageMagick \`-statistic Median 3x3\`, five times"
       peer_what="repeated 3 x 3 median filter"
       peer_run=("$IM" @IN@ -statistic Median 3x3 -statistic Median 3x3 -statistic Median 3x3
                 -statistic Median 3x3 -statistic Median 3x3 -quality 95 @OUT@) ;;
    9|16)
       peer_text="ImageMagick \`-paint 4\`"
       peer_what="oil painting: every pixel takes the most frequent colour within radius 4"
       peer_run=("$IM" @IN@ -paint 4 -quality 95 @OUT@) ;;
    10) peer_text="G'MIC \`mosaic\`"
       peer_what="random mosaic of flat-coloured tiles"
       peer_run=("$GMIC" -v -1 @IN@ mosaic "," -o "@OUT@,95") ;;
    12) peer_text="OpenCV \`cv2.detailEnhance\`"
       peer_what="detail and colour enhancement through an edge-preserving filter"
       peer_run=("$PY" "$WORK/peer.py" detail @IN@ @OUT@) ;;
    13) peer_text="ImageMagick \`-compose blend -composite\`"
       peer_what="blends two pictures (the photograph with itself, as the merge does after opening it)"
       peer_run=("$IM" @IN@ @IN@ -compose blend -define compose:args=50 -composite -quality 95 @OUT@) ;;
    14) peer_text="ImageMagick \`convert\` with no operation"
       peer_what="decodes and encodes the picture only (no frame, texture or text chosen)"
       peer_run=("$IM" @IN@ -quality 95 @OUT@) ;;
    15|28)
       peer_text="G'MIC \`ellipsionism\`"
       peer_what="painting with small elliptic brushstrokes laid along the picture's structure"
       peer_run=("$GMIC" -v -1 @IN@ ellipsionism "," -o "@OUT@,95") ;;
    17|18)
       peer_text="G'MIC \`cartoon\`"
       peer_what="cartoon: smoothed, colour-quantised picture with dark outlines"
       peer_run=("$GMIC" -v -1 @IN@ cartoon "," -o "@OUT@,95") ;;
    19) peer_text="G'MIC \`old_photo\`"
       peer_what="old photograph: sepia toning, blur, noise and a darkened border"
       peer_run=("$GMIC" -v -1 @IN@ old_photo -o "@OUT@,95") ;;
    21) peer_text="G'MIC \`stencilbw\`"
       peer_what="black-and-white stencil: thresholded picture with its edges"
       peer_run=("$GMIC" -v -1 @IN@ stencilbw "," -o "@OUT@,95") ;;
    22|25)
       peer_text="G'MIC \`polygonize\`"
       peer_what="picture redrawn as flat-coloured polygons"
       peer_run=("$GMIC" -v -1 @IN@ polygonize "," -o "@OUT@,95") ;;
    23) peer_text="ImageMagick \`-sketch 0x20+120\`"
       peer_what="pencil sketch from motion-blurred strokes along one angle"
       peer_run=("$IM" @IN@ -sketch 0x20+120 -quality 95 @OUT@) ;;
    24) peer_text="G'MIC \`pencilbw\`"
       peer_what="black-and-white pencil drawing"
       peer_run=("$GMIC" -v -1 @IN@ pencilbw "," -o "@OUT@,95") ;;
    26) peer_text="G'MIC \`halftone\`"
       peer_what="halftone dithering with dots of five sizes"
       peer_run=("$GMIC" -v -1 @IN@ halftone "," -o "@OUT@,95") ;;
    11) peer_what="no sensible peer: none of the three draws a picture from random discs of its colours" ;;
    29) peer_what="no sensible peer: none of the three paints a picture from large overlapping translucent shapes" ;;
    *) peer_what="no peer chosen" ;;
  esac
}

# ---------------------------------------------------------------- timing
# timed FILE COMMAND...: runs the command and appends "cpu-seconds peak-kB wall-seconds" to
# FILE; returns non-zero when the command failed.
timed() {
  local file=$1
  shift
  if ! /usr/bin/time -f '%U %S %M %e' -o "$WORK/time" "$@" > /dev/null 2> "$WORK/stderr"; then
    say "  failed: $* ($(tail -1 "$WORK/stderr"))"
    return 1
  fi
  tail -1 "$WORK/time" | awk '{ printf "%.2f %d %.2f\n", $1 + $2, $3, $4 }' >> "$file"
}

# median FILE COLUMN: the median of one column.
median() {
  awk -v c="$2" '{ print $c }' "$1" | sort -g |
    awk '{ v[NR] = $1 } END { if (NR == 0) exit; if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# spread FILE: " (lowest-highest)" of the CPU seconds when there is more than one run.
spread() {
  awk '{ v = $1 + 0; if (NR == 1 || v < lo) lo = v; if (NR == 1 || v > hi) hi = v }
       END { if (NR > 1) printf " (%.2f-%.2f)", lo, hi }' "$1"
}

runs_text() {  # "one run" or "the median of N runs"
  if [ "$1" = 1 ]; then echo "one run"; else echo "the median of $1 runs"; fi
}

# reused NAME: true when REUSE_FROM holds the timings NAME, which are then taken into WORK.
reused() {
  [ -n "${REUSE_FROM:-}" ] && [ -s "$REUSE_FROM/$1" ] || return 1
  [ "$REUSE_FROM/$1" -ef "$WORK/$1" ] || cp "$REUSE_FROM/$1" "$WORK/$1"
}

substitute() {  # the peer command with @IN@ and @OUT@ filled in
  run=()
  local a
  for a in "${peer_run[@]}"; do
    a=${a//@IN@/$photo}
    run+=("${a//@OUT@/$WORK/peer.jpg}")
  done
}

# ---------------------------------------------------------------- the effects
# "code name" for every effect the command line lists.
mapfile -t listed < <("$CLI" effects | sed -nE 's/^ +[0-9]+ +([0-9]+)  (.*)$/\1 \2/p' | sort -n)
declare -A names
for line in "${listed[@]}"; do names[${line%% *}]=${line#* }; done
codes=${CODES:-$(printf '%s\n' "${!names[@]}" | sort -n | tr '\n' ' ')}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
rows=()
thread_rows=()
for code in $codes; do
  name=${names[$code]:-code $code}
  say "$code $name"
  ours=$WORK/ours-$code theirs=$WORK/peer-$code
  peer "$code"
  run=()
  [ ${#peer_run[@]} -gt 0 ] && substitute
  # Ours and the peer's run by turns, so that a change in what else the machine (or its host)
  # is doing weighs on both alike.
  ours_fresh=1 theirs_fresh=0
  reused "ours-$code" && ours_fresh=0
  [ ${#run[@]} -gt 0 ] && ! reused "peer-$code" && theirs_fresh=1
  [ $ours_fresh = 1 ] && : > "$ours"
  [ $theirs_fresh = 1 ] && : > "$theirs"
  ok=1
  for ((i = 0; i < RUNS; i++)); do
    if [ $ours_fresh = 1 ]; then
      timed "$ours" "$CLI" apply "$photo" -o "$WORK/ours.jpg" --effect "$code" --seed 1 || { ok=0; break; }
    fi
    if [ $theirs_fresh = 1 ]; then timed "$theirs" "${run[@]}" || theirs_fresh=0; fi
  done
  if [ $ok = 0 ]; then
    rows+=("| $name | $code | failed | | | | | | |")
    continue
  fi
  cpu=$(median "$ours" 1)
  peak=$(awk -v k="$(median "$ours" 2)" 'BEGIN { printf "%.0f", k * 1024 / 1e6 }')
  times=$(awk -v p="$peak" -v m="$picture_mb" 'BEGIN { printf "%.1f", p / m }')

  peer_cpu="" ratio="" shown="—"
  if [ ${#run[@]} -gt 0 ]; then
    shown=$peer_text
    if [ -s "$theirs" ]; then
      peer_cpu=$(median "$theirs" 1)
      ratio=$(awk -v a="$cpu" -v b="$peer_cpu" 'BEGIN { if (b > 0) printf "%.2f", a / b }')
    else
      peer_cpu="failed"
    fi
  fi
  say "  ours ${cpu}s ${peak}MB, peer ${peer_cpu:-none}s"
  ours_shown="$cpu$(spread "$ours")" theirs_shown=$peer_cpu
  [ -s "$theirs" ] && [ -n "$peer_cpu" ] && [ "$peer_cpu" != failed ] && theirs_shown="$peer_cpu$(spread "$theirs")"
  rows+=("| $name | $code | $ours_shown | $peak | $times | $shown | $peer_what | $theirs_shown | $ratio |")

  one=$WORK/one-$code two=$WORK/two-$code
  if reused "one-$code" && reused "two-$code"; then
    :
  elif [ "$THREAD_RUNS" -gt 0 ]; then
    : > "$one"
    : > "$two"
    for ((i = 0; i < THREAD_RUNS; i++)); do
      timed "$one" "$CLI" apply "$photo" -o "$WORK/ours.jpg" --effect "$code" --seed 1 --threads 1 || break
      timed "$two" "$CLI" apply "$photo" -o "$WORK/ours.jpg" --effect "$code" --seed 1 --threads 2 || break
    done
  else
    rm -f "$one" "$two"
  fi
  if [ -s "$one" ] && [ -s "$two" ]; then
    w1=$(median "$one" 3) w2=$(median "$two" 3)
    thread_rows+=("| $name | $code | $w1 | $w2 | $(awk -v a="$w1" -v b="$w2" 'BEGIN { if (b > 0) printf "%.2f", a / b }') |")
  fi
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

# ---------------------------------------------------------------- preview
preview_rows=()
if [ "$PREVIEW" = 1 ] && [ -x "$BENCH" ]; then
  say "preview benchmark"
  # Three repetitions, spread over the whole run in random order, and their median: a long
  # preview runs only once in a repetition, and a busy spell of the machine's memory can make
  # every run for a minute or two a third slower.
  "$BENCH" --benchmark_filter='^Preview/' --benchmark_format=csv --benchmark_min_time=0.3 \
    --benchmark_repetitions=3 --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true 2> /dev/null |
    grep '^"Preview/.*_median"' > "$WORK/preview.csv" || true
  # Rows "Preview/CODE/ZOOM/process_time_median",iterations,real_time,cpu_time,time_unit,...
  declare -A preview_ms
  while IFS=, read -r label _ _ cpu_time unit _; do
    label=${label//\"/}
    IFS=/ read -r _ code zoom _ <<< "$label"  # Preview/CODE/ZOOM/process_time_median
    case $unit in ns) f=1e-6 ;; us) f=1e-3 ;; ms) f=1 ;; s) f=1e3 ;; *) f=1 ;; esac
    preview_ms[$code/$zoom]=$(awk -v t="$cpu_time" -v f="$f" 'BEGIN { printf "%.1f", t * f }')
  done < "$WORK/preview.csv"
  for code in $(printf '%s\n' "${!names[@]}" | sort -n); do
    a=${preview_ms[$code/100]:-} b=${preview_ms[$code/25]:-}
    [ -n "$a$b" ] || continue
    flag=""
    awk -v a="${a:-0}" -v b="${b:-0}" 'BEGIN { exit !(a > 150 || b > 150) }' && flag="over 150 ms"
    preview_rows+=("| ${names[$code]} | $code | $a | $b | $flag |")
  done
fi

# ---------------------------------------------------------------- the report
cpu_model=$(sed -nE 's/^model name\s*: //p' /proc/cpuinfo | head -1)
memory_gb=$(awk '/MemTotal/ { printf "%.0f", $2 / 1048576 }' /proc/meminfo)
# shellcheck source=/dev/null
system=$(. /etc/os-release && echo "$PRETTY_NAME")
im_version=$("$IM" -version | sed -nE 's/^Version: (ImageMagick [^ ]+).*/\1/p')
gmic_version=$("$GMIC" -version 2>&1 | sed 's/\x1b\[[0-9;]*m//g' | sed -nE 's/.*Version ([0-9.]+).*/G'"'"'MIC \1/p' | head -1)
cv_version=$("$PY" -c 'import cv2; print("OpenCV " + cv2.__version__)')

mkdir -p "$(dirname "$OUT")"
{
  echo "# Performance"
  echo
  echo "Written by \`bench/peers.sh\` on $(date -u '+%Y-%m-%d %H:%M UTC'); rerun it to measure your own machine."
  echo
  echo "- Machine: $cpu_model, $(nproc) cores, $memory_gb GB memory, $system;"
  echo "  load average $load_before at the start and $load_after at the end."
  echo "- Peers: $im_version, $gmic_version, $cv_version (Debian packages)."
  if [ -n "${REUSE_FROM:-}" ]; then
    echo "- Timings found in an earlier run's folder on this machine were taken over; the rest were"
    echo "  measured now."
  fi
  echo "- Photograph: \`$SAMPLE\` enlarged to $WIDTH x $HEIGHT (12 megapixels, $picture_mb MB of pixels),"
  echo "  every effect at its default values, seed 1."
  echo "- Every command is one whole process: decoding the JPEG, the effect, encoding a JPEG of"
  echo "  quality 95. CPU seconds are user + system time over all threads, $(runs_text "$RUNS"),"
  echo "  ours and the peer's by turns, the lowest and highest in brackets: a machine that shares"
  echo "  its memory with others varies by up to a third from minute to minute, most for the effects"
  echo "  that read memory at random places. The ratio is of the medians, ours divided by the"
  echo "  peer's (below 1: ours needs less). Peak memory is the process's maximum resident size,"
  echo "  and its multiple of the picture's $picture_mb MB."
  echo
  echo "## Side by side"
  echo
  echo "| Effect | Code | Brumeleaf CPU s | Peak MB | × picture | Peer effect | What the peer does | Peer CPU s | Ratio |"
  echo "|---|---:|---:|---:|---:|---|---|---:|---:|"
  printf '%s\n' "${rows[@]}"
  if [ ${#thread_rows[@]} -gt 0 ]; then
    echo
    echo "## One core and two"
    echo
    echo "Wall-clock seconds of the same run with \`--threads 1\` and \`--threads 2\` ($(runs_text "$((THREAD_RUNS > 0 ? THREAD_RUNS : 1))")"
    echo "each; the pictures are byte for byte the same). Only the passes whose rows are"
    echo "independent of each other are split; passes that draw random numbers, decoding and encoding"
    echo "stay on one thread, so the speed-up is at most 2 and often far less. On a busy machine the"
    echo "wall-clock times are noisy: compare them with the load average above."
    echo
    echo "| Effect | Code | 1 thread s | 2 threads s | Speed-up |"
    echo "|---|---:|---:|---:|---:|"
    printf '%s\n' "${thread_rows[@]}"
  fi
  if [ ${#preview_rows[@]} -gt 0 ]; then
    echo
    echo "## Live preview"
    echo
    echo "CPU milliseconds of one preview computation (the effect on the crop, then the picture the"
    echo "window shows) from the middle of the 12-megapixel photograph: a 200 x 200 crop at zoom 100"
    echo "and an 800 x 800 crop at zoom 25, from \`brumeleaf_bench --benchmark_filter=Preview\`,"
    echo "the median of three repetitions spread over the run."
    echo
    echo "| Effect | Code | Zoom 100 ms | Zoom 25 ms | |"
    echo "|---|---:|---:|---:|---|"
    printf '%s\n' "${preview_rows[@]}"
  fi
  if [ -f bench/PerformanceNotes.md ]; then
    echo
    cat bench/PerformanceNotes.md
  fi
} > "$OUT"
say "wrote $OUT"

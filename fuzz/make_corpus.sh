#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The BREVOLD developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the fuzz targets' seed corpus into fuzz/corpus/: dimension files
# and JSON sets saved by brevold-cli, some of them damaged in place, a few
# editor sequences of wild values and the command lines of the README.
# Usage: fuzz/make_corpus.sh BUILD/brevold-cli
set -euo pipefail
cli="$(realpath "${1:?usage: $0 PATH/TO/brevold-cli}")"
cd "$(dirname "$0")"
mkdir -p corpus/dimfile corpus/dimvalues corpus/dimjson corpus/cliopts
cd corpus

# Value k of a dimension file (0-based, four little-endian bytes each).
patch() {  # FILE INDEX BYTES
  printf "$3" | dd of="$1" bs=1 seek=$(($2 * 4)) conv=notrunc status=none
}
# Indices of the values damaged below.
mainRodLen=3 originX=52 scale=51 zoom=53 revArmX=57 vertScale=59 preset1Scale=60

d=dimfile
"$cli" save --out $d/nominal.dmi
"$cli" save --out $d/long_rod_forward.dmi --set MainRodLen=17 --travel 0.7
"$cli" save --out $d/backward_gear.dmi --set RevArmMax=2 --travel -1.5
"$cli" save --out $d/broken_gear.dmi --set 3=0.5
head -c 700 $d/nominal.dmi >$d/short.dmi
cp $d/nominal.dmi $d/scale_1e7.dmi && patch $d/scale_1e7.dmi $scale '\x80\x96\x18\x4b'
cp $d/nominal.dmi $d/preset_scale_1e7.dmi && patch $d/preset_scale_1e7.dmi $preset1Scale '\x80\x96\x18\x4b'
cp $d/nominal.dmi $d/zoom_zero.dmi && patch $d/zoom_zero.dmi $zoom '\x00\x00\x00\x00'
cp $d/nominal.dmi $d/vertscale_1e9.dmi && patch $d/vertscale_1e9.dmi $vertScale '\x28\x6b\x6e\x4e'
cp $d/nominal.dmi $d/nan_fields.dmi
for k in $mainRodLen $originX $revArmX; do patch $d/nan_fields.dmi $k '\x00\x00\xc0\x7f'; done
cp $d/nominal.dmi $d/infinite_revarm.dmi && patch $d/infinite_revarm.dmi $revArmX '\x00\x00\x80\x7f'

# Editor sequences: a header byte (bar slot and increment), then records of
# dimension choice, how the value is read (1 = a wild value), four bytes.
v=dimvalues
printf '\x00\x03\x02\x00\x10\x00\x00' >$v/longer_rod.bin
printf '\x05\x00\x01\x00\x00\x00\x00\x03\x01\x01\x00\x00\x00\x1c\x01\x03\x00\x00\x00' >$v/nan_inf_huge.bin
printf '\x22\x1c\x01\x06\x00\x00\x00\x1d\x01\x07\x00\x00\x00\x02\x01\x08\x00\x00\x00\x02\x81\x0c\x00\x00\x00' >$v/zeros_and_tiny.bin
printf '\x0b\x0a\x03\x18\xfc\xff\xff\x2c\x00\x00\x00\x80\xff\x10\x01\x0d\x00\x00\x00' >$v/negative_and_long.bin

# JSON sets: the tool's own output, then copies with values only this form
# writes (NaN payloads, infinities, signed zero), numbers at the edges of a
# single, and damage the reader must refuse with a message.
j=dimjson
"$cli" save --out $j/nominal.json
"$cli" save --out $j/long_rod_forward.json --set MainRodLen=17 --travel 0.7
"$cli" save --out $j/backward_gear.json --set RevArmMax=2 --travel -1.5
"$cli" save --out $j/broken_gear.json --set 3=0.5
"$cli" save --out $j/huge_rod.json --set 3=3.4028234e38
"$cli" save --out $j/tiny_negative.json --set 2=-1e-45 --set 15=-3.4028234e38
sed -e 's/"PtY4": 3.25/"PtY4": "nan:0x7fc00001"/' -e 's/"RevArmX": [^,]*/"RevArmX": "nan:0xffbfffff"/' \
  -e 's/"DiagLastRevArm": 0.0/"DiagLastRevArm": "-inf"/' -e 's/"LineNo": 1.0/"LineNo": "inf"/' \
  -e 's/"CylSpare": 0.0/"CylSpare": -0.0/' $j/nominal.json >$j/not_finite.json
# Just under the largest single's rounding edge (read as the largest single),
# the smallest subnormal, an integer beyond 64 bits' signed range.
sed -e 's/"VertScale": 1.5/"VertScale": 3.4028235677973362e38/' -e 's/"PtY4": 3.25/"PtY4": 1.4e-45/' \
  -e 's/"RevArmNorm": 0.7/"RevArmNorm": 18446744073709551615/' $j/nominal.json >$j/edges.json
sed 's/"VertScale": 1.5/"VertScale": 3.4028235677973366e38/' $j/nominal.json >$j/rounds_to_inf.json
# A single (0x15ae43fd) whose shortest text, read through a double, would
# round twice; written as the double it exactly is.
sed 's/"PtY4": 3.25/"PtY4": 7.0385306918512091e-26/' $j/nominal.json >$j/json_double_rounding.json
sed 's/"PtY4": 3.25/"PtY4": "nan:0x3f800000"/' $j/nominal.json >$j/nan_not_nan.json
sed '/"CylSpare": 0.0,/d' $j/nominal.json >$j/missing_field.json
sed 's/"id": 3,/"id": 33,/' $j/nominal.json >$j/wrong_id.json
sed 's/"Rows": \[/"Rows": 7, "x": [/' $j/nominal.json >$j/wrong_kind.json
sed 's/"version": 1/"version": 2/' $j/nominal.json >$j/version_2.json
head -c 5000 $j/nominal.json >$j/truncated.json

# Command lines: the subcommand's byte (0 solve, 1 centre, 2 frame, 3 save,
# 4 events, 5 dims, 6 diagram), then one argument to a line.
cmdline() {  # FILE BYTE ARGS...
  local f="$1" b="$2"
  shift 2
  { printf "$b"; printf '%s\n' "$@"; } >cliopts/"$f"
}
cmdline solve_sweep '\x00' --set MainRodLen=17 --travel 0.7 --sweep 0:360:10
cmdline solve_angles '\x00' --dmi mygear.dmi --revarm 9.7 --angles 0,90,180.5,-45 --no-error-beep
cmdline centre '\x01'
cmdline frame_png '\x02' --angle 90 --travel 0.7 --out gear.png
cmdline frame_steam '\x02' --dmi mygear.dmi --steam --frames 36 --angle 90 --out steam.png
cmdline frame_view '\x02' --gear --scale 18.9 --origin 81,280 --out - --format svg --scale-picture 2
cmdline save_dmi '\x03' --dmi mygear.dmi --set MainRodLen=17 --out longrod.dmi
cmdline save_json '\x03' --load mygear.json --out mygear.dmi
cmdline save_stdout '\x03' --dmi - --set 3=3.4028234e38 --out - --format json
cmdline events_text '\x04' --side both --format text
cmdline events_step '\x04' --dmi mygear.dmi --step 4 --side fwd
cmdline events_notches '\x04' --notches 0.3,-0.3 --format json
cmdline events_cutoffs '\x04' --cutoffs 15,25.5,40 --side rev
cmdline events_revarms '\x04' --revarms 9.5,10,10.5 --step 0.01
cmdline dims '\x05' --dmi mygear.dmi --format json
cmdline diagram_port '\x06' port --out p.pdf
cmdline diagram_positions '\x06' port --mode B --positions 9,9.5,10 --vert-scale 100 --out -
cmdline diagram_oval '\x06' oval --set RevArmMax=2 --out oval.PNG --scale-picture 8

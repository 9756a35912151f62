#!/usr/bin/env bash
# Writes the fuzz targets' seed corpus into fuzz/corpus/: dimension files
# saved by brevold-cli, some of them damaged in place, and a few editor
# sequences of wild values. Usage: fuzz/make_corpus.sh BUILD/brevold-cli
set -euo pipefail
cli="$(realpath "${1:?usage: $0 PATH/TO/brevold-cli}")"
cd "$(dirname "$0")"
mkdir -p corpus/dimfile corpus/dimvalues
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

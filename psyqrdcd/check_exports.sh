#!/bin/sh
# check_exports.sh OBJDUMP DLL FORMAT
# The library's file is of the given PE format, and its export table holds
# exactly the seven functions the program binds, by their undecorated names.
set -eu
objdump=$1 dll=$2 format=$3
expected="DecodePictureFile
FreeAllocateMemory
GetConcatenationInfo
GetDecodeDataString
GetDecodeLevel
GetDecodeVersion
GetSymbolePosition"

actual_format=$("$objdump" -f "$dll" | sed -n 's/.*file format //p')
if [ "$actual_format" != "$format" ]; then
  echo "FAIL: $dll has file format '$actual_format', expected '$format'"
  exit 1
fi

# The names follow the "[Ordinal/Name Pointer] Table" heading, one "[ n] Name" per line.
actual=$("$objdump" -p "$dll" |
  sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' | sort)
if [ "$actual" != "$expected" ]; then
  echo "FAIL: $dll exports:"
  echo "$actual"
  echo "expected exactly:"
  echo "$expected"
  exit 1
fi
echo "$dll: $format, exports the seven functions undecorated"

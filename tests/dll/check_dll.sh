#!/usr/bin/env bash
# Usage: check_dll.sh OBJDUMP UNDNAME DLL HEADER
# The DLL must import only system DLLs (the compiler's runtime is linked in) and
# export exactly the functions its header declares with KRAPI, and the out-of-line members of
# its KRAPI classes (as KR3DMATRIX::SetIdentity), under two name sets: mingw-w64's and MSVC's,
# each declaration and overload once in each.
set -euo pipefail
objdump=$1 undname=$2 dll=$3 header=$4
dump=$("$objdump" -p "$dll")

imports=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
allowed='^(kernel32|user32|gdi32|ole32|oleaut32|advapi32|msvcrt|winmm|imm32|dsound|ddraw|dinput|dplayx|version|shell32)\.dll$'
status=0
echo "imports:" $imports
for dll_name in $imports; do
  if ! [[ $dll_name =~ $allowed ]]; then
    echo "FAIL: imports a non-system DLL: $dll_name"
    status=1
  fi
done

# Exported names of each set, demangled: a constructor's two mingw-w64 names demangle alike.
names=$(printf '%s\n' "$dump" | awk '/\[Ordinal\/Name Pointer\] Table/{on=1;next} on&&/^[ \t]*\[/{print $NF} on&&/^$/{on=0}')
mingw=$(printf '%s\n' "$names" | grep '^_Z' | c++filt | sort -u)
msvc=$(printf '%s\n' "$names" | grep '^?' | "$undname" | grep -v '^?' | sed '/^$/d' | sort -u)
other=$(printf '%s\n' "$names" | grep -v '^_Z' | grep -v '^?' || true)
if [ -n "$other" ]; then echo "FAIL: exported under neither name set:"; printf '%s\n' "$other" | sed 's/^/  /'; status=1; fi
if [ "$(printf '%s\n' "$mingw" | wc -l)" -ne "$(printf '%s\n' "$msvc" | wc -l)" ]; then
  echo "FAIL: $(printf '%s\n' "$mingw" | wc -l) mingw-w64 declarations, $(printf '%s\n' "$msvc" | wc -l) MSVC ones"; status=1
fi
functions=$(sed -n 's/^KRAPI [^(]*[ *]\(KR[A-Za-z0-9_]*\)(.*/\1/p' "$header")
# Members declared in a "class KRAPI NAME" body; defaulted, deleted and inline ones are not exported.
members=$(awk '
  /^(class|struct) KRAPI [A-Za-z0-9_]+/ { cls = $3; next }
  cls != "" && /^};/ { cls = ""; next }
  cls != "" {
    sub(/\/\/.*/, "")
    if (/= *(default|delete)/ || /\{/) next
    if (match($0, /(operator[^ (]+|~?[A-Za-z_][A-Za-z0-9_]*)\(/))
      print cls "::" substr($0, RSTART, RLENGTH - 1)
  }' "$header")
declared=$(printf '%s\n%s\n' "$functions" "$members" | sed '/^$/d' | sort -u)

compare() {  # compare SET-NAME DEMANGLED: the function names against the header's
  local exported
  exported=$(printf '%s\n' "$2" | sed 's/(.*//; s/.* //' | sort -u)
  missing=$(comm -13 <(printf '%s\n' "$exported") <(printf '%s\n' "$declared"))
  extra=$(comm -23 <(printf '%s\n' "$exported") <(printf '%s\n' "$declared"))
  if [ -n "$missing" ]; then echo "FAIL: declared but not exported ($1):"; printf '%s\n' "$missing" | sed 's/^/  /'; status=1; fi
  if [ -n "$extra" ]; then echo "FAIL: exported but not declared ($1):"; printf '%s\n' "$extra" | sed 's/^/  /'; status=1; fi
  echo "exports ($1): $(printf '%s\n' "$2" | wc -l) names of $(printf '%s\n' "$exported" | wc -l) functions and members"
}
compare mingw-w64 "$mingw"
compare MSVC "$msvc"
exit $status

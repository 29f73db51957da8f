#!/usr/bin/env bash
# Usage: check_dll.sh OBJDUMP DLL HEADER
# The DLL must import only system DLLs (the compiler's runtime is linked in) and
# export exactly the functions its header declares with KRAPI, and the out-of-line members of
# its KRAPI classes (as KR3DMATRIX::SetIdentity).
set -euo pipefail
objdump=$1 dll=$2 header=$3
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

# Exported names, demangled down to the function name.
exported=$(printf '%s\n' "$dump" | awk '/\[Ordinal\/Name Pointer\] Table/{on=1;next} on&&/^[ \t]*\[/{print $NF} on&&/^$/{on=0}' \
           | c++filt | sed 's/(.*//' | sort -u)
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

missing=$(comm -13 <(printf '%s\n' "$exported") <(printf '%s\n' "$declared"))
extra=$(comm -23 <(printf '%s\n' "$exported") <(printf '%s\n' "$declared"))
if [ -n "$missing" ]; then echo "FAIL: declared but not exported:"; printf '%s\n' "$missing" | sed 's/^/  /'; status=1; fi
if [ -n "$extra" ]; then echo "FAIL: exported but not declared:"; printf '%s\n' "$extra" | sed 's/^/  /'; status=1; fi
echo "exports: $(printf '%s\n' "$exported" | wc -l) functions and members"
exit $status

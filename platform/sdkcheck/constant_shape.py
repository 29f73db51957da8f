"""Which object-like macros stand for a number, judged by the shape of their expansion.

A macro is compared with the SDK when its full expansion can be an integer or
pointer constant. The rule looks at the expanded tokens, so a macro that only
forwards to another (APIENTRY -> WINAPI -> nothing) is judged by what it ends
up as. Skipped, each for a reason the report names:
  - nothing left: include guards, and calling conventions or annotations that
    vanish on the host (WINAPI, CALLBACK)
  - text and floating-point values: not integers
  - declaration syntax (`= 0`, braces, storage classes, attributes, `const` at
    the top level, a trailing comma): pieces of declarations, not values
  - the address of an object: not a constant at all
Whether the expansion names a type (LPVOID -> void*), or is one name that
nothing declares (DUMMYUNIONNAME -> u, a token for building declarations), is
not visible in the tokens; the compiler decides that (see header_scan).
"""

from typing import List, Optional

from cxx_tokens import Token, is_floating_literal

EMPTY = "expands to nothing (include guard, or a calling convention/annotation on the host)"
TEXT = "text, not a number"
FLOATING = "floating-point, not an integer"
DECLARATION = "declaration syntax, not a value"
TYPE_PART = "part of a type, not a value"
LIST = "a list, not a single value"
FRAGMENT = "unbalanced brackets: a fragment, not a value"
ADDRESS = "the address of an object, not a constant"
NAMES_A_TYPE = "names a type"
NAMES_NOTHING = "expands to a name nothing declares (a token for declarations)"
FUNCTION_LIKE = "function-like macro"

_NEVER_IN_A_VALUE = {
    ";", "{", "}", "=", "[", "]", "#", "##", "...",
    "extern", "static", "register", "thread_local", "mutable", "typedef", "inline", "virtual",
    "explicit", "friend", "constexpr", "consteval", "constinit", "template", "namespace", "using",
    "public", "private", "protected", "operator", "return", "if", "else", "switch", "case",
    "default", "for", "while", "do", "break", "continue", "goto", "try", "catch", "throw",
    "asm", "__asm", "__asm__", "__attribute__", "__declspec", "alignas", "_Pragma", "__pragma",
    "__stdcall", "__cdecl", "__fastcall", "__thiscall", "__vectorcall", "__inline", "__forceinline",
}
# Valid inside a cast or sizeof, but a value never has them at its top level.
_TYPE_WORDS_AT_TOP = {"const", "volatile", "struct", "class", "union", "enum", "typename"}
_OPERAND_ENDS = {")", "]"}


def _balanced(tokens: List[Token]) -> bool:
    depth = 0
    for token in tokens:
        if token.kind != "punct":
            continue
        if token.text in ("(", "["):
            depth += 1
        elif token.text in (")", "]"):
            depth -= 1
            if depth < 0:
                return False
    return depth == 0


def _takes_address(tokens: List[Token]) -> bool:
    """A unary `&`: at the start, or after an operator or an opening parenthesis."""
    for index, token in enumerate(tokens):
        if token.text != "&":
            continue
        if index == 0:
            return True
        before = tokens[index - 1]
        if before.kind == "punct" and before.text not in _OPERAND_ENDS:
            return True
    return False


def shape_reason(expansion: List[Token]) -> Optional[str]:
    """None when the expansion can be an integer or pointer constant, else why not."""
    if not expansion:
        return EMPTY
    if any(token.kind == "string" for token in expansion):
        return TEXT
    if any(token.kind == "number" and is_floating_literal(token.text) for token in expansion):
        return FLOATING
    if any(token.text in _NEVER_IN_A_VALUE for token in expansion):
        return DECLARATION
    if not _balanced(expansion):
        return FRAGMENT
    depth = 0
    for token in expansion:
        if token.text in ("(", "["):
            depth += 1
        elif token.text in (")", "]"):
            depth -= 1
        elif depth == 0 and token.text in _TYPE_WORDS_AT_TOP:
            return TYPE_PART
        elif depth == 0 and token.text == ",":
            return LIST
    if _takes_address(expansion):
        return ADDRESS
    return None

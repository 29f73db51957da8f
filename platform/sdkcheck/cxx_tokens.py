"""Splitting preprocessed C++ into tokens.

Only what the header scan and the constant shape rule need: identifiers,
numbers (integer or floating), string and character literals, and punctuators,
with the multi-character operators kept whole so that `==` is never taken for `=`.
"""

import re
from typing import List, NamedTuple


class Token(NamedTuple):
    kind: str  # 'ident', 'number', 'string', 'char', 'punct', 'other'
    text: str


_TOKEN = re.compile(
    r"""
    (?P<space>\s+)
  | (?P<string>(?:u8|u|U|L)?R"(?P<delim>[^()\\\s]{0,16})\((?s:.*?)\)(?P=delim)"
             |(?:u8|u|U|L)?"(?:\\.|[^"\\\n])*")
  | (?P<char>(?:u8|u|U|L)?'(?:\\.|[^'\\\n])+')
  | (?P<number>\.?[0-9](?:[eEpP][+-]|[0-9A-Za-z_.]|'(?=[0-9A-Za-z]))*)
  | (?P<ident>[A-Za-z_$][A-Za-z0-9_$]*)
  | (?P<punct>\.\.\.|<<=|>>=|->\*|<=>|::|->|\+\+|--|<<|>>|<=|>=|==|!=|&&|\|\||
              \+=|-=|\*=|/=|%=|&=|\|=|\^=|\#\#|\.\*|[][(){};:,.?~!%^&*+=<>|/\#-])
  | (?P<other>.)
    """,
    re.VERBOSE,
)


def tokenize(text: str) -> List[Token]:
    tokens = []
    for match in _TOKEN.finditer(text):
        kind = match.lastgroup
        if kind == "delim":  # the raw-string delimiter group closes last
            kind = "string"
        if kind != "space":
            tokens.append(Token(kind, match.group()))
    return tokens


def is_floating_literal(text: str) -> bool:
    """A pp-number that denotes a floating value (1.0, 1e5, 0x1p3, 2.f)."""
    body = text.replace("'", "")
    if body[:2] in ("0x", "0X"):
        return "." in body or "p" in body or "P" in body
    return "." in body or "e" in body or "E" in body


def join(tokens: List[Token]) -> str:
    return " ".join(token.text for token in tokens)

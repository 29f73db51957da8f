"""Namespace-scope declarations of one header: its records, enums and enumerators.

Works on the preprocessed tokens of a single file. Only the global namespace is
read: the SDK is C, so whatever sits in a C++ namespace is host machinery and has
no SDK counterpart. Nested records and members are not namespace-scope names.
Records count only where they are defined with a body; a forward declaration
leaves an incomplete type whose size means nothing.
"""

from dataclasses import dataclass, field
from typing import Iterable, List, Optional, Set

from cxx_tokens import Token

# Tokens that decorate a declaration without changing what it declares.
_ATTRIBUTE_WORDS = {"__attribute__", "__declspec", "alignas", "_Alignas", "__asm__", "__asm", "asm"}
_DECORATION_WORDS = {
    "__stdcall", "__cdecl", "__fastcall", "__thiscall", "__vectorcall", "__extension__",
    "__restrict", "__restrict__", "__inline", "__inline__", "__forceinline",
}
_SPECIFIER_WORDS = {
    "extern", "static", "inline", "constexpr", "const", "volatile", "thread_local", "register",
}
_RECORD_KEYWORDS = {"struct", "class", "union"}


@dataclass
class HeaderDeclarations:
    records: List[str] = field(default_factory=list)  # tags and typedef names of defined records
    enums: List[str] = field(default_factory=list)  # names of enums defined with a body
    enumerators: List[str] = field(default_factory=list)  # unscoped as NAME, scoped as ENUM::NAME


def _matching(tokens: List[Token], start: int) -> int:
    """Index of the bracket closing the one at `start`."""
    pairs = {"(": ")", "[": "]", "{": "}"}
    opener = tokens[start].text
    closer = pairs[opener]
    depth = 0
    for index in range(start, len(tokens)):
        text = tokens[index].text
        if text == opener:
            depth += 1
        elif text == closer:
            depth -= 1
            if depth == 0:
                return index
    return len(tokens) - 1


def strip_decorations(tokens: List[Token]) -> List[Token]:
    """Drops attributes, declspecs and calling conventions, which name nothing."""
    kept = []
    index = 0
    while index < len(tokens):
        token = tokens[index]
        if token.text in _ATTRIBUTE_WORDS and index + 1 < len(tokens) and tokens[index + 1].text == "(":
            index = _matching(tokens, index + 1) + 1
            continue
        if token.text == "[" and index + 1 < len(tokens) and tokens[index + 1].text == "[":
            index = _matching(tokens, index) + 1
            continue
        if token.text in _DECORATION_WORDS:
            index += 1
            continue
        kept.append(token)
        index += 1
    return kept


def _split_top_level(tokens: List[Token], separator: str) -> List[List[Token]]:
    parts, current, depth = [], [], 0
    for token in tokens:
        if token.text in "([{" and token.kind == "punct":
            depth += 1
        elif token.text in ")]}" and token.kind == "punct":
            depth -= 1
        if token.text == separator and depth == 0:
            parts.append(current)
            current = []
        else:
            current.append(token)
    parts.append(current)
    return parts


def _plain_name(declarator: List[Token]) -> Optional[str]:
    """The name a declarator gives when it is a bare identifier (no pointer, array, function)."""
    if len(declarator) == 1 and declarator[0].kind == "ident":
        return declarator[0].text
    return None


def _statement_end(tokens: List[Token], start: int) -> int:
    """Index just past the declaration beginning at `start`.

    A declaration ends at `;` outside brackets, or after a function body or a
    namespace body: a `{}` block that follows `)` (or a namespace head) with
    no `=` before it.
    """
    index = start
    saw_paren = False
    saw_equals = False
    is_namespace = tokens[start].text in ("namespace", "inline") and any(
        token.text == "namespace" for token in tokens[start:start + 2])
    while index < len(tokens):
        text = tokens[index].text
        if text == ";":
            return index + 1
        if text in ("(", "["):
            index = _matching(tokens, index) + 1
            saw_paren = saw_paren or text == "("
            continue
        if text == "=":
            saw_equals = True
        if text == "{":
            close = _matching(tokens, index)
            if is_namespace or (saw_paren and not saw_equals):
                return close + 1
            index = close + 1
            continue
        index += 1
    return index


class _Scanner:
    def __init__(self, tokens: List[Token], known_records: Iterable[str]):
        self.tokens = strip_decorations(tokens)
        self.found = HeaderDeclarations()
        self.record_names: Set[str] = set(known_records)  # a typedef may rename another header's record

    def _add_record(self, name: str) -> None:
        if name not in self.record_names:
            self.record_names.add(name)
            self.found.records.append(name)

    def scan(self) -> HeaderDeclarations:
        tokens = self.tokens
        index = 0
        while index < len(tokens):
            token = tokens[index]
            if token.text in (";", "}"):  # empty declarations, ends of linkage blocks
                index += 1
            elif (token.text == "extern" and index + 2 < len(tokens)
                  and tokens[index + 1].kind == "string" and tokens[index + 2].text == "{"):
                index += 3  # a linkage block does not open a scope
            elif token.text == "extern" and index + 1 < len(tokens) and tokens[index + 1].kind == "string":
                index += 2
            else:
                end = _statement_end(tokens, index)
                self._declaration(tokens[index:end])
                index = end
        return self.found

    def _declaration(self, statement: List[Token]) -> None:
        if not statement:
            return
        first = statement[0].text
        if first == "using":
            self._alias_declaration(statement)
            return
        if first in ("namespace", "template", "static_assert"):
            return
        is_typedef = False
        index = 0
        while index < len(statement) and (statement[index].text in _SPECIFIER_WORDS
                                          or statement[index].text == "typedef"):
            is_typedef = is_typedef or statement[index].text == "typedef"
            index += 1
        if index >= len(statement):
            return
        head = statement[index].text
        if head in _RECORD_KEYWORDS or head == "enum":
            self._tagged(statement, index, is_typedef)
        elif is_typedef:
            self._typedef_of_named_type(statement[index:])

    def _alias_declaration(self, statement: List[Token]) -> None:
        # using NAME = RECORD;  names a record as a typedef does
        if (statement[0].text == "using" and len(statement) >= 4 and statement[1].kind == "ident"
                and statement[2].text == "="):
            target = [t for t in statement[3:] if t.text not in (";", "const", "volatile", "struct",
                                                                  "class", "union")]
            if len(target) == 1 and target[0].text in self.record_names:
                self._add_record(statement[1].text)

    def _typedef_of_named_type(self, rest: List[Token]) -> None:
        # typedef [struct] RECORD NAME, *PNAME;  -- NAME is the record under another name
        parts = _split_top_level([t for t in rest if t.text != ";"], ",")
        first = [t for t in parts[0] if t.text not in ("const", "volatile", "struct", "class", "union")]
        if len(first) < 2 or first[0].text not in self.record_names:
            return
        for declarator in [first[1:]] + parts[1:]:
            name = _plain_name([t for t in declarator if t.text not in ("const", "volatile")])
            if name:
                self._add_record(name)

    def _tagged(self, statement: List[Token], index: int, is_typedef: bool) -> None:
        kind = statement[index].text
        index += 1
        scoped = False
        if kind == "enum" and index < len(statement) and statement[index].text in ("class", "struct"):
            scoped = True
            index += 1
        tag = None
        tag_index = index
        if index < len(statement) and statement[index].kind == "ident" and statement[index].text != "final":
            tag = statement[index].text
            index += 1
            if index < len(statement) and statement[index].text == "::":
                return  # defines a member of another scope
        # Step over a base clause or an enum's underlying type to the body; a
        # declarator name, `;`, `=` or `(` first means there is no body here.
        while index < len(statement) and statement[index].text != "{":
            token = statement[index]
            in_base_clause = any(t.text == ":" for t in statement[tag_index:index])
            if token.text in (";", "=", "(") or (token.kind == "ident" and token.text != "final"
                                                 and not in_base_clause):
                break
            index += 1
        if index >= len(statement) or statement[index].text != "{":
            if tag and is_typedef:  # typedef struct TAG NAME;
                self._typedef_of_named_type(statement[tag_index:])
            return
        close = _matching(statement, index)
        if kind == "enum":
            if tag:
                self.found.enums.append(tag)
            self._enumerators(statement[index + 1:close], tag if scoped else None)
        elif tag:
            self._add_record(tag)
        if is_typedef:
            for declarator in _split_top_level([t for t in statement[close + 1:] if t.text != ";"], ","):
                name = _plain_name(declarator)
                if name and kind == "enum":
                    self.found.enums.append(name)
                elif name:
                    self._add_record(name)

    def _enumerators(self, body: List[Token], scope: Optional[str]) -> None:
        for part in _split_top_level(body, ","):
            if part and part[0].kind == "ident":
                self.found.enumerators.append(f"{scope}::{part[0].text}" if scope else part[0].text)


def scan_declarations(tokens: List[Token], known_records: Iterable[str] = ()) -> HeaderDeclarations:
    """What `tokens` declare; `known_records` are records defined before them (other headers)."""
    return _Scanner(tokens, known_records).scan()

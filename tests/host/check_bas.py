#!/usr/bin/env python3
"""Holds the VB6/VBA declaration module to the C header: the same exports
with the same parameters in the same order, each ByVal and of the VB type
that matches its C type (pointers are LongPtr under VBA7, Long elsewhere),
the DLL the .def names, the header's format codes as constants, and the
file's form (CRLF, ASCII, a module name) that the VB6 IDE expects.

Usage: check_bas.py <glimfx.h> <glimfx.def.in> <glimfx.bas>
"""
import re
import sys

INT32_TYPES = {"int32_t", "uint32_t"}


def c_exports(header):
    """{name: (return type, [(param type, param name), ...])} from glimfx.h."""
    text = re.sub(r"/\*.*?\*/|//[^\n]*", " ", header, flags=re.S)
    text = re.sub(r"\s+", " ", text)
    exports = {}
    for ret, name, params in re.findall(
            r"GLIMFX_API (\w+) GLIMFX_CALL (\w+)\(([^)]*)\);", text):
        parsed = []
        for param in params.split(","):
            m = re.fullmatch(r"\s*(.*?)\s*(\w+)\s*", param)
            parsed.append((m.group(1).replace(" *", "*"), m.group(2)))
        exports[name] = (ret, parsed)
    return exports


def c_formats(header):
    return {name: int(value)
            for name, value in re.findall(r"#define (GLIMFX_FORMAT_\w+) (\d+)u?\b", header)}


def vb_type(c_type, vba7):
    if c_type.endswith("*"):
        return "LongPtr" if vba7 else "Long"
    if c_type in INT32_TYPES:
        return "Long"
    return None


def logical_lines(text):
    """(line number, code) with comments cut and ' _' continuations joined."""
    joined, start, out = "", None, []
    for number, line in enumerate(text.splitlines(), 1):
        code = re.sub(r"'.*", "", line).rstrip()  # the module has no ' inside strings
        if start is None:
            start = number
        if code.endswith(" _"):
            joined += code[:-1]
            continue
        out.append((start, (joined + code).strip()))
        joined, start = "", None
    return out


DECLARE = re.compile(r'Public Declare (PtrSafe )?Function (\w+) Lib "([^"]+)" \((.*)\) As (\w+)$')
PARAM = re.compile(r"(ByVal |ByRef )?(\w+) As (\w+)$")
CONST = re.compile(r"Public Const (\w+) As (\w+) = (-?\d+)$")


def check(header, library, bas):
    errors = []
    try:
        text = bas.decode("ascii")
    except UnicodeDecodeError as e:
        return [f"not ASCII: byte 0x{bas[e.start]:02X} at offset {e.start}"]
    if re.search(r"(?<!\r)\n|\r(?!\n)", text) or not text.endswith("\r\n"):
        errors.append("every line must end in CR LF")
    if not text.startswith('Attribute VB_Name = "'):
        errors.append("the first line must give the module's name (Attribute VB_Name)")

    exports = c_exports(header)
    formats = c_formats(header)
    if not exports or not formats:
        return errors + ["no exports or format codes found in glimfx.h"]

    # Declares per branch of #If VBA7 ... #Else ... #End If; none outside it.
    branch = None
    declared = {True: {}, False: {}}
    consts = {}
    for number, code in logical_lines(text):
        if code == "#If VBA7 Then":
            branch = True
        elif code == "#Else" and branch is True:
            branch = False
        elif code == "#End If" and branch is not None:
            branch = None
        elif code.startswith("#"):
            errors.append(f"line {number}: unexpected directive {code!r}")
        elif "Declare " in code:
            m = DECLARE.match(code)
            if not m:
                errors.append(f"line {number}: cannot read the Declare statement {code!r}")
            elif branch is None:
                errors.append(f"line {number}: {m.group(2)} is declared outside #If VBA7")
            else:
                declared[branch][m.group(2)] = (number, m)
        elif code.startswith("Public Const"):
            m = CONST.match(code)
            if not m:
                errors.append(f"line {number}: cannot read the constant {code!r}")
            else:
                consts[m.group(1)] = (number, m.group(2), int(m.group(3)))
    if branch is not None:
        errors.append("#If VBA7 is not closed")

    for vba7, decls in declared.items():
        where = "#If VBA7" if vba7 else "#Else"
        if sorted(decls) != sorted(exports):
            errors.append(f"{where}: declares {sorted(decls)}, glimfx.h has {sorted(exports)}")
        for name, (number, m) in decls.items():
            if name not in exports:
                continue
            ptrsafe, _, lib, params, ret = m.groups()
            at = f"line {number} ({where}) {name}"
            if bool(ptrsafe) != vba7:
                errors.append(f"{at}: PtrSafe must be there under VBA7 and only there")
            if lib != library:
                errors.append(f"{at}: Lib {lib!r}, the DLL is {library!r}")
            c_ret, c_params = exports[name]
            if ret != vb_type(c_ret, vba7):
                errors.append(f"{at}: returns {ret}, glimfx.h returns {c_ret}")
            vb_params = [p.strip() for p in params.split(",")] if params.strip() else []
            if len(vb_params) != len(c_params):
                errors.append(f"{at}: {len(vb_params)} parameters, glimfx.h has {len(c_params)}")
            for i, (vb, (c_type, c_name)) in enumerate(zip(vb_params, c_params), 1):
                p = PARAM.match(vb)
                if not p:
                    errors.append(f"{at}: cannot read parameter {i} {vb!r}")
                    continue
                by, vb_name, vb_t = p.groups()
                if by != "ByVal ":
                    errors.append(f"{at}: parameter {i} {vb_name} is not ByVal")
                if vb_name != c_name:
                    errors.append(f"{at}: parameter {i} is {vb_name}, glimfx.h has {c_name}")
                want = vb_type(c_type, vba7)
                if vb_t != want:
                    errors.append(f"{at}: parameter {i} {vb_name} As {vb_t}, "
                                  f"{c_type} needs {want}")

    if sorted(consts) != sorted(formats):
        errors.append(f"constants {sorted(consts)}, glimfx.h has {sorted(formats)}")
    for name, (number, vb_t, value) in consts.items():
        if name in formats and (vb_t != "Long" or value != formats[name]):
            errors.append(f"line {number}: {name} As {vb_t} = {value}, "
                          f"glimfx.h has {formats[name]} (Long)")
    return errors


def main():
    header_path, def_path, bas_path = sys.argv[1:4]
    with open(header_path, encoding="ascii") as f:
        header = f.read()
    with open(def_path, encoding="ascii") as f:
        library = re.search(r"^LIBRARY\s+(\S+)", f.read(), re.M).group(1)
    with open(bas_path, "rb") as f:
        bas = f.read()
    errors = check(header, library, bas)
    for e in errors:
        print(f"{bas_path}: {e}")
    print(f"glimfx.bas against glimfx.h: {len(errors)} problem(s)")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())

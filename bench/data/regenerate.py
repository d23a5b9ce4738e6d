#!/usr/bin/env python3
"""Regenerates the rule files of bench/data from Java sources.

    bench/data/regenerate.py [--build DIR]

Needs Debian's ecj on PATH and a built tree (scripts/build; DIR defaults to
build/default) for zul_move_own_class and zul. Steps:

1. Writes, into a temporary directory, the Java sources of the support
   classes (the builtins class, from sgb/src/Builtins.def; the enum classes,
   from sgb/src/EnumKeywords.def; the other object types the built-ins take)
   and of the two large rule files (Rules2000, Attributes1500). The rule
   annotation types and the small rule files are kept in bench/data/java.
2. Compiles them with ecj for class-file version 50 with full debug
   information (local-variable tables) and stack maps.
3. Passes each rule class through zul_move_own_class, which puts the own class
   entry at pool slot 2 as the rule compiler does, and writes bench/data/*.sgb.
4. Runs `zul check` on every result: each must decode without errors or
   warnings.

Everything is deterministic: the same sources and tools give the same bytes.
"""

import argparse
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

ROOT = pathlib.Path(__file__).resolve().parents[2]
DATA = ROOT / "bench" / "data"
KEPT_SOURCES = DATA / "java"
PACKAGE = "com/ulno/gc/"

JAVA_KEYWORDS = set(
    """abstract assert boolean break byte case catch char class const continue default do
    double else enum extends final finally float for goto if implements import instanceof int
    interface long native new package private protected public return short static strictfp
    super switch synchronized this throw throws transient try void volatile while true false
    null""".split()
)


class Dice:
    """A fixed 64-bit linear congruential generator: the same numbers on every machine."""

    def __init__(self, seed):
        self.state = seed

    def below(self, n):
        self.state = (self.state * 6364136223846793005 + 1442695040888963407) % 2**64
        return (self.state >> 33) % n


# ---- support classes ----------------------------------------------------


def parse_descriptor(descriptor):
    """'(DLjava/lang/String;)V' -> (['D', 'Ljava/lang/String;'], 'V')."""
    params, i = [], 1
    while descriptor[i] != ")":
        if descriptor[i] == "L":
            end = descriptor.index(";", i)
            params.append(descriptor[i : end + 1])
            i = end + 1
        elif descriptor[i] == "[":
            raise ValueError("array types are not used by the built-ins: " + descriptor)
        else:
            params.append(descriptor[i])
            i += 1
    return params, descriptor[i + 1 :]


def java_type(code):
    simple = {"D": "double", "Z": "boolean", "I": "int", "V": "void"}
    if code in simple:
        return simple[code]
    if code == "Ljava/lang/String;":
        return "String"
    if code.startswith("L" + PACKAGE):
        return code[len(PACKAGE) + 1 : -1]
    raise ValueError("type not used by the built-ins: " + code)


def default_value(code):
    return {"V": None, "D": "0", "I": "0", "Z": "false"}.get(code, "null")


def check_identifier(name):
    if name in JAVA_KEYWORDS or not re.fullmatch(r"[A-Za-z_$][A-Za-z0-9_$]*", name):
        raise ValueError("not a Java identifier: " + name)


def builtins_source():
    table = (ROOT / "sgb/src/Builtins.def").read_text()
    rows = re.findall(r'ZUL_BUILTIN\("([^"]+)", "([^"]+)"\)', table)
    seen, methods, object_types = set(), [], set()
    for name, descriptor in rows:
        check_identifier(name)
        params, result = parse_descriptor(descriptor)
        for code in params + [result]:
            if code.startswith("L" + PACKAGE):
                object_types.add(java_type(code))
        # Java cannot overload on the return type alone: such a row is left out
        # and no rule of bench/data calls it.
        if (name, tuple(params)) in seen:
            continue
        seen.add((name, tuple(params)))
        args = ", ".join(f"{java_type(p)} a{i}" for i, p in enumerate(params))
        value = default_value(result)
        body = f" return {value}; " if value else " "
        methods.append(f"    public static {java_type(result)} {name}({args}) {{{body}}}\n")
    text = "package com.ulno.gc;\n\n/** The built-in operations, with empty bodies. */\n"
    text += "public final class Builtins {\n" + "".join(methods) + "}\n"
    return text, object_types


def enum_sources():
    text = (ROOT / "sgb/src/EnumKeywords.def").read_text()
    sources = {}
    for name, body in re.findall(r"ZUL_ENUM_CLASS\((\w+),(.*?)\)\s*$", text, re.S | re.M):
        keywords = re.findall(r'"([^"]+)"', body)
        for k in keywords:
            check_identifier(k)
        sources[name] = f"package com.ulno.gc;\n\npublic enum {name} {{ {', '.join(keywords)} }}\n"
    return sources


def write_support(src):
    package = src / PACKAGE
    package.mkdir(parents=True)
    builtins, object_types = builtins_source()
    (package / "Builtins.java").write_text(builtins)
    enums = enum_sources()
    for name, source in enums.items():
        (package / f"{name}.java").write_text(source)
    for name in sorted(object_types - enums.keys()):
        source = f"package com.ulno.gc;\n\npublic final class {name} {{}}\n"
        (package / f"{name}.java").write_text(source)


# ---- rule-language annotations -------------------------------------------


def java_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def annotation(name, *args):
    """One @SGLAnnotation; each argument is (type, key, value) with type 'b', 'f' or 's'."""
    types = ", ".join(f"'{t}'" for t, _, _ in args)
    names = ", ".join(java_string(k) for _, k, _ in args)
    bvals = ", ".join("true" if t == "b" and v else "false" for t, _, v in args)
    dvals = ", ".join(repr(float(v)) if t == "f" else "0.0" for t, _, v in args)
    svals = ", ".join(java_string(v) if t == "s" else '""' for t, _, v in args)
    return (
        f"@SGLAnnotation(name = {java_string(name)}, types = {{{types}}}, names = {{{names}}}, "
        f"bvals = {{{bvals}}}, dvals = {{{dvals}}}, svals = {{{svals}}})"
    )


def container(annotations, indent="    "):
    inner = f",\n{indent}    ".join(annotations)
    return f"{indent}@SGLAnnotations({{\n{indent}    {inner}\n{indent}}})\n"


VERSION = annotation("@_VERSION", ("s", "sglc", "1.10"), ("s", "sgl", "1.4"))
RULE = annotation("_$RULE")
ATTR = annotation("_$ATTR")


def rule_class(name, description, members):
    head = (
        "package rules;\n\nimport static com.ulno.gc.Builtins.*;\n\nimport com.ulno.gc.*;\n\n"
        + container([VERSION, annotation("@Description", ("s", "", description))], "")
        + f"public class {name} {{\n"
    )
    return head + "".join(members) + "}\n"


def method(annotations, signature, body):
    lines = "".join(f"        {line}\n" for line in body)
    return container(annotations) + f"    public static {signature} {{\n{lines}    }}\n\n"


# ---- the file of about 2,000 rules ----------------------------------------

RULE_KINDS = [
    ("Mass", [("D", "h")]),
    ("Facade", [("Ljava/lang/String;", "style")]),
    ("Floor", [("D", "index"), ("D", "h")]),
    ("Window", []),
    ("Roof", [("D", "pitch"), ("Z", "gable")]),
    ("Choice", []),
    ("Report", [("Ljava/lang/String;", "name")]),
    ("Leaf", [("D", "depth")]),
]


def rules2000(count=2000, attributes=40):
    dice = Dice(2000)
    members = []
    doubles, strings, booleans = [], [], []
    for a in range(attributes):
        kind = a % 3
        if kind == 0:
            name = f"height{a}"
            doubles.append(name)
            members.append(f"    public static double {name};\n")
            body = [f"{name} = rand({a % 7 + 2}, {a % 11 + 12});", f"return {name};"]
            notes = [annotation("@Range", ("f", "min", 2), ("f", "max", a % 11 + 12))]
            sig = f"double {name}()"
        elif kind == 1:
            name = f"style{a}"
            strings.append(name)
            members.append(f"    public static String {name};\n")
            body = [f'{name} = "style {a}";', f"return {name};"]
            notes = [annotation("@Enum", ("s", "", "modern"), ("s", "", "classic"))]
            sig = f"String {name}()"
        else:
            name = f"detailed{a}"
            booleans.append(name)
            members.append(f"    public static boolean {name};\n")
            body = [f"{name} = rand() > 0.{a % 9 + 1};", f"return {name};"]
            notes = []
            sig = f"boolean {name}()"
        if a % 4 == 0:
            notes.append(annotation("$Group", ("s", "", f"Group {a % 5}"), ("f", "", a % 5)))
        members.append(method([ATTR] + notes, sig, body))

    def rule_name(r):
        base = f"{RULE_KINDS[r % len(RULE_KINDS)][0]}{r}"
        if r % 9 == 4:
            return f"Style{r % 4}$Part$" + base  # two '$': shown as Style1$Part.Name
        if r % 3 == 1:
            return f"Style{r % 4}$" + base
        return base

    def argument(code, r, salt):
        pick = (r * 31 + salt) % 4
        if code == "D":
            choices = [f"{(r % 23) * 0.25 + salt}", doubles[(r + salt) % len(doubles)]]
            return (choices + ["scope$sx()", f"rand({salt + 1})"])[pick]
        if code == "Z":
            return booleans[(r + salt) % len(booleans)] if pick % 2 else f"scope$sy() > {salt + 2}"
        return strings[(r + salt) % len(strings)] if pick % 2 else java_string(f"style {r % 6}")

    def call(r, salt):
        target = (r * 7 + salt * 13 + 1) % count
        params = RULE_KINDS[target % len(RULE_KINDS)][1]
        args = ", ".join(argument(code, r, salt + i) for i, (code, _) in enumerate(params))
        return f"{rule_name(target)}({args});"

    for r in range(count):
        kind, params = RULE_KINDS[r % len(RULE_KINDS)]
        d = doubles[r % len(doubles)]
        s = strings[r % len(strings)]
        b = booleans[r % len(booleans)]
        if kind == "Mass":
            body = [
                f"double x = h * rand(0.8, 1.2) + {r % 17}.5;",
                "extrude(x);",
                f"SplitNode root = _$createSplitRoot({r % 3 + 1});",
                "_$addSplitNode(root, _$createSplitNode(Comp.side, 1, false, 1));",
                "_$addSplitNode(root, _$createSplitNode(Comp.top, 2, false, 1));",
                "comp(CompSelector.f, root);",
                "_$push();",
                call(r, 1),
                "_$pop();",
                f"{d} = x;",
            ]
        elif kind == "Facade":
            body = [
                "SplitNode root = _$createSplitRoot(1);",
                f"SplitNode floor = _$createSplitNode(Scale.FLT, {d}, false, 1);",
                "_$addOpSeq(floor, 1);",
                "_$addSplitNode(root, floor);",
                "split(SplitAxis.y, root);",
                f'if (_$eq(style, "modern {r % 5}")) {{',
                f'    texture("textures/facade{r % 40}.jpg");',
                "} else {",
                f"    color({s});",
                "}",
                call(r, 2),
            ]
        elif kind == "Floor":
            body = [
                f"for (int k = 0; k < {r % 4 + 2}; k++) {{",
                "    _$push();",
                "    t(Scale.REL, 0, Scale.ABS, h * k, Scale.REL, 0);",
                "    " + call(r, 3),
                "    _$pop();",
                "}",
                f'set("floor {r % 30}", index);',
            ]
        elif kind == "Window":
            body = [
                f"s(Scale.REL, 1, Scale.ABS, {1 + (r % 7) * 0.125}, Scale.ABS, 0.3);",
                "center(AxesSelector.xy);",
                f'i("assets/windows/w{r % 50}.obj");',
            ]
        elif kind == "Roof":
            body = [
                "if (gable) {",
                f"    roofGable(RoofValueType.byAngle, pitch, {(r % 5) * 0.25});",
                "} else {",
                f"    roofHip(pitch, {(r % 5) * 0.25});",
                "}",
                f'color("#{(r * 2654435761) % 0xFFFFFF:06x}");',
                f'report("roof {r % 20}", geometry$area());',
            ]
        elif kind == "Choice":
            body = [
                "double p = rand();",
                f"if (p < 0.{dice.below(4) + 2}) {{",
                "    " + call(r, 4),
                "} else if (p < 0.8) {",
                "    " + call(r, 5),
                "} else {",
                "    NIL();",
                "}",
            ]
        elif kind == "Report":
            body = [
                "label(_$add(name, uid()));",
                "report(name, scope$sy());",
                f"boolean tall = {b} && scope$sy() > {r % 13 + 3};",
                "print(str(tall));",
            ]
            if r % 10 == 6:
                body += ["Comp side = Comp.valueOf(name);", "_$createSplitNode(side, 1, tall, 1);"]
        else:
            body = [
                "SplitNode root = _$createSplitRoot(1);",
                "_$addSplitNode(root, _$createSplitNode(Setback.front, depth, false, 1));",
                "setback(depth, root);",
                f"double handle = _$getHandle(depth, {r % 9}.0);",
                "translate(Mode.rel, CoordSystem.world, 0, handle, 0);",
            ]
        notes = [RULE]
        if r == 0:
            notes.append(annotation("$StartRule"))
        if r % 3 == 0:
            notes.append(annotation("$Order", ("f", "", r % 7)))
        if r % 5 == 0:
            notes.append(annotation("$Group", ("s", "", f"Part {r % 12}"), ("f", "", r % 5)))
        if r % 4 == 0:
            notes.append(annotation("@Description", ("s", "", f"{kind.lower()} rule number {r}")))
        if r % 11 == 0:
            notes.append(annotation("@Hidden"))
        signature = ", ".join(f"{java_type(code)} {p}" for code, p in params)
        members.append(method(notes, f"void {rule_name(r)}({signature})", body))
    return rule_class("Rules2000", "About two thousand rules of a city block", members)


# ---- the file of about 1,500 attributes -----------------------------------


def attributes1500(count=1500, rules=12):
    members = []
    kinds = []
    bases = [
        ["height", "width", "depth", "angle", "ratio"],
        ["color", "texture", "label"],
        ["visible", "detailed"],
    ]
    names = []
    for a in range(count):
        kind = a % 3
        kinds.append(kind)
        names.append(f"{bases[kind][a % len(bases[kind])]}{a}")

    def earlier(a, kind):
        for b in range(a - 1, -1, -1):
            if kinds[b] == kind and (a - b) % 5 != 0:
                return names[b]
        return None

    for a, name in enumerate(names):
        kind = kinds[a]
        d = earlier(a, 0)
        notes = [ATTR]
        if kind == 0:
            members.append(f"    public static double {name};\n")
            value = f"{d}() * 0.5 + rand(0, {a % 10 + 1})" if d else f"{a % 10 + 1}.5"
            body = [f"{name} = {value};", f"return {name};"]
            sig = f"double {name}()"
            if a % 2 == 0:
                limits = [("f", "min", 0), ("f", "max", a % 50 + 10)]
                notes.append(annotation("@Range", *limits, ("b", "restricted", a % 4 == 0)))
        elif kind == 1:
            members.append(f"    public static String {name};\n")
            value = f'_$add("value {a % 100} ", {d}())' if d else '"value"'
            body = [f"{name} = {value};", f"return {name};"]
            sig = f"String {name}()"
            if a % 4 == 1:
                colors = [("s", "", "red"), ("s", "", "green"), ("s", "", "blue")]
                notes.append(annotation("@Enum", *colors))
            elif a % 4 == 3:
                notes.append(annotation("@File", ("s", "ext", "jpg")))
            else:
                notes.append(annotation("@Color"))
        else:
            members.append(f"    public static boolean {name};\n")
            value = f"{d} > {a % 20}" if d else "true"
            body = [f"{name} = {value};", f"return {name};"]
            sig = f"boolean {name}()"
        if a % 3 == 0:
            group = [("s", "", f"Group {a % 40}"), ("f", "", a % 9)]
            notes.append(annotation("$Group", *group))
        if a % 4 == 0:
            notes.append(annotation("$Order", ("f", "", a % 13)))
        if a % 5 == 0:
            text = f"attribute {a} of the parameter set"
            notes.append(annotation("@Description", ("s", "", text)))
        members.append(method(notes, sig, body))

    for r in range(rules):
        body = []
        for k in range(r * 30, min(count, r * 30 + 30)):
            if kinds[k] == 0:
                body.append(f"extrude({names[k]});")
            elif kinds[k] == 1:
                body.append(f"color({names[k]});")
            else:
                body.append(f"if ({names[k]}) {{ NIL(); }}")
        notes = [RULE] + ([annotation("$StartRule")] if r == 0 else [])
        members.append(method(notes, f"void Apply{r}()", body))
    description = "About fifteen hundred attributes of a parameter set"
    return rule_class("Attributes1500", description, members)


# ---- compile, post-process, check -------------------------------------------


def run(command):
    result = subprocess.run(command, capture_output=True, text=True)
    if result.returncode != 0 or result.stdout.strip():
        sys.exit(f"{' '.join(map(str, command))} failed:\n{result.stdout}{result.stderr}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=str(ROOT / "build" / "default"))
    options = parser.parse_args()
    tools = pathlib.Path(options.build) / "bin"
    for tool in ("zul_move_own_class", "zul"):
        if not (tools / tool).exists():
            sys.exit(f"{tools / tool} is missing: run scripts/build first")
    if not shutil.which("ecj"):
        sys.exit("ecj is missing: apt-get install ecj")

    with tempfile.TemporaryDirectory() as tmp:
        tmp = pathlib.Path(tmp)
        src = tmp / "src"
        write_support(src)
        (src / "rules").mkdir()
        (src / "rules" / "Rules2000.java").write_text(rules2000())
        (src / "rules" / "Attributes1500.java").write_text(attributes1500())
        rule_sources = sorted((KEPT_SOURCES / "rules").glob("*.java"))
        rule_sources += sorted((src / "rules").glob("*.java"))
        classes = tmp / "classes"
        run(["ecj", "-1.6", "-g", "-proc:none", "-nowarn", "-encoding", "UTF-8",
             "-sourcepath", f"{KEPT_SOURCES}:{src}", "-d", str(classes)] + rule_sources)
        outputs = []
        for source in rule_sources:
            out = DATA / f"{source.stem}.sgb"
            run([tools / "zul_move_own_class", classes / "rules" / f"{source.stem}.class", out])
            outputs.append(out)
    run([tools / "zul", "check"] + outputs)
    for out in outputs:
        print(f"{out.relative_to(ROOT)}: {out.stat().st_size} bytes")


if __name__ == "__main__":
    main()

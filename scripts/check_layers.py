#!/usr/bin/env python3
"""Checks that every include of our own headers points down the layers.

    check_layers.py SOURCE_ROOT     exit 1 and list every upward include
    check_layers.py --self-test     shows that an upward include is caught

Layers, lowest first; each may include from the ones it names:
    base            -> (nothing of ours)
    data            -> base
    ui              -> base
    import/core     -> base
    import/package  -> import/core, base
    import/xls, import/xlsx, import/ods
                    -> import/package, import/core, base (not each other)
    import          -> the readers above (the reader chosen by content)
    load            -> import (all of it), ui, base
    company         -> data, base
    migration       -> load, import, ui, data, base
    app             -> migration, company and everything below them
    app/qt, app/cli -> app and below
Outside app/qt no file includes a Qt header: the logic talks to the window
only through the window operations. main.cpp, tests/ and bench/ may include
anything.
"""
import os
import re
import sys
import tempfile

READERS = {"import/core", "import/package", "import/xls", "import/xlsx", "import/ods"}
IMPORT = READERS | {"import"}
BELOW_APP = {"app", "migration", "company", "load", "ui", "data", "base"} | IMPORT
ALLOWED = {
    "base": {"base"},
    "data": {"data", "base"},
    "ui": {"ui", "base"},
    "import/core": {"import/core", "base"},
    "import/package": {"import/package", "import/core", "base"},
    "import/xls": {"import/xls", "import/package", "import/core", "base"},
    "import/xlsx": {"import/xlsx", "import/package", "import/core", "base"},
    "import/ods": {"import/ods", "import/package", "import/core", "base"},
    "import": IMPORT | {"base"},
    "load": {"load", "ui", "base"} | IMPORT,
    "company": {"company", "data", "base"},
    "migration": {"migration", "load", "ui", "data", "base"} | IMPORT,
    "app": BELOW_APP,
    "app/qt": BELOW_APP | {"app/qt"},
    "app/cli": BELOW_APP | {"app/cli"},
}
OWN_INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
SYSTEM_INCLUDE = re.compile(r"^\s*#\s*include\s*<([^>]+)>")
QT_HEADER = re.compile(r"^Q[A-Za-z]*(/|$)|^Qt[A-Za-z]*/")


def layer_of(path):
    """The layer a path inside the source tree belongs to, or None."""
    parts = path.replace(os.sep, "/").split("/")
    if len(parts) > 2 and parts[0] + "/" + parts[1] in ALLOWED:
        return parts[0] + "/" + parts[1]
    return parts[0] if parts[0] in ALLOWED else None


def check(root):
    problems = []
    for layer in ALLOWED:
        folder = os.path.join(root, layer)
        if not os.path.isdir(folder):
            continue
        for dirpath, _, files in os.walk(folder):
            for name in sorted(files):
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.join(dirpath, name)
                rel = os.path.relpath(path, root)
                own = layer_of(rel)
                if own != layer:
                    continue  # the rooms inside a folder are walked as their own layers
                with open(path, encoding="utf-8", errors="replace") as f:
                    for number, line in enumerate(f, 1):
                        m = OWN_INCLUDE.match(line)
                        if m:
                            target = layer_of(m.group(1))
                            if target is not None and target not in ALLOWED[own]:
                                problems.append(
                                    f"{rel}:{number}: {own} includes {m.group(1)} "
                                    f"from the layer {target}, which {own} may not use")
                        m = SYSTEM_INCLUDE.match(line)
                        if m and own != "app/qt" and QT_HEADER.match(m.group(1)):
                            problems.append(
                                f"{rel}:{number}: {own} includes the Qt header {m.group(1)}; "
                                "only app/qt may")
    return problems


def self_test():
    with tempfile.TemporaryDirectory() as root:
        def write(rel, text):
            path = os.path.join(root, rel)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w") as f:
                f.write(text)
        write("base/Fine.h", '#include "base/Other.h"\n')
        write("migration/Fine.cpp", '#include "data/Connection.h"\n#include "load/X.h"\n')
        write("import/xls/Fine.cpp", '#include "import/package/Zip.h"\n')
        write("app/qt/View.cpp", "#include <QWidget>\n#include \"app/Form1.h\"\n")
        if check(root):
            print("self-test: a tree without upward includes was flagged:", check(root))
            return 1
        write("import/Bad.cpp", '#include "migration/TextRules.h"\n')
        write("data/Bad.h", '#include "ui/Grid.h"\n')
        write("migration/Bad.cpp", "#include <QString>\n")
        write("app/cli/Bad.cpp", '#include "app/qt/MainWindow.h"\n')
        write("import/xlsx/Bad.cpp", '#include "import/ods/OdsContent.h"\n')
        write("import/core/Bad.cpp", '#include "load/GridLayouts.h"\n')
        write("company/Bad.cpp", '#include "migration/mdlStock.h"\n')
        found = check(root)
        for p in found:
            print("caught:", p)
        expected = ["import/Bad.cpp", "data/Bad.h", "migration/Bad.cpp", "app/cli/Bad.cpp",
                    "import/xlsx/Bad.cpp", "import/core/Bad.cpp", "company/Bad.cpp"]
        missed = [e for e in expected if not any(p.startswith(e) for p in found)]
        if missed or len(found) != len(expected):
            print("self-test: missed", missed)
            return 1
        return 0


def main(argv):
    if len(argv) == 2 and argv[1] == "--self-test":
        return self_test()
    if len(argv) != 2:
        print(__doc__)
        return 2
    problems = check(argv[1])
    for p in problems:
        print(p)
    if problems:
        print(f"{len(problems)} include(s) point up the layers")
        return 1
    print("every include points down the layers")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

#!/usr/bin/env python3
"""Checks that every include of our own headers points down the layers.

    check_layers.py SOURCE_ROOT     exit 1 and list every upward include
    check_layers.py --self-test     shows that an upward include is caught

Rooms, lowest first; each may include from the ones it names (and itself):
    base            -> (nothing of ours)
    data            -> base
    ui              -> base
    import/core     -> base
    import/package  -> import/core, base
    import/xls, import/xlsx, import/ods
                    -> import/package, import/core, base (not each other)
    import/text     -> import/core, base (text exports need no package)
    import          -> the readers above (the reader chosen by content)
    load            -> import (the reader chosen by content), import/core, ui,
                       base; never a format's reader or the package layer
    export          -> load, import (to read back what it wrote), import/core,
                       ui, base
    company         -> data, base
    migration       -> export, load, import/core, ui, data, base
    reports         -> migration, company and what they may use
    usecases        -> reports, import and below
    window          -> usecases and below
    qt              -> window and below
    cli             -> usecases and below (not window: it has no window)
Outside qt/ no file includes a Qt header: the logic talks to the window only
through the window operations. main.cpp, tests/ and bench/ may include
anything.
"""
import os
import re
import sys
import tempfile

READERS = {"import/core", "import/package", "import/xls", "import/xlsx", "import/ods",
           "import/text"}
IMPORT = READERS | {"import"}
LOAD = {"load", "import", "import/core", "ui", "base"}
EXPORT = {"export", "load", "import", "import/core", "ui", "base"}
COMPANY = {"company", "data", "base"}
MIGRATION = {"migration", "export", "data"} | LOAD - {"import"}
REPORTS = {"reports"} | MIGRATION | COMPANY
USECASES = {"usecases", "import"} | REPORTS
WINDOW = {"window"} | USECASES
ALLOWED = {
    "base": {"base"},
    "data": {"data", "base"},
    "ui": {"ui", "base"},
    "import/core": {"import/core", "base"},
    "import/package": {"import/package", "import/core", "base"},
    "import/xls": {"import/xls", "import/package", "import/core", "base"},
    "import/xlsx": {"import/xlsx", "import/package", "import/core", "base"},
    "import/ods": {"import/ods", "import/package", "import/core", "base"},
    "import/text": {"import/text", "import/core", "base"},
    "import": IMPORT | {"base"},
    "load": LOAD,
    "export": EXPORT,
    "company": COMPANY,
    "migration": MIGRATION,
    "reports": REPORTS,
    "usecases": USECASES,
    "window": WINDOW,
    "qt": {"qt"} | WINDOW,
    "cli": {"cli"} | USECASES,
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
                        if m and own != "qt" and QT_HEADER.match(m.group(1)):
                            problems.append(
                                f"{rel}:{number}: {own} includes the Qt header {m.group(1)}; "
                                "only qt/ may")
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
        write("import/text/Fine.cpp", '#include "import/core/TextFormat.h"\n')
        write("import/Fine.cpp", '#include "import/text/TextReader.h"\n')
        write("qt/View.cpp", "#include <QWidget>\n#include \"window/MainForm.h\"\n")
        write("reports/openingstatement/Fine.cpp", '#include "company/OutputGuard.h"\n')
        write("cli/Fine.cpp", '#include "usecases/RunCheck.h"\n#include "import/OpenWorkbook.h"\n')
        if check(root):
            print("self-test: a tree without upward includes was flagged:", check(root))
            return 1
        # The includes the rooms once let through, and the classic ones.
        bad = {
            "migration/Bad.cpp": '#include "import/xls/XlsReader.h"\n',
            "load/Bad.cpp": '#include "import/xlsx/XlsxSheet.h"\n',
            "usecases/Bad.cpp": '#include "window/MainForm.h"\n',
            "reports/openingstatement/Bad.cpp": '#include "usecases/SaveOpeningStatement.h"\n',
            "cli/Bad.cpp": '#include "qt/MainWindow.h"\n',
            "export/Bad.cpp": '#include "migration/RunTally.h"\n',
            "import/Bad.cpp": '#include "migration/TextRules.h"\n',
            "data/Bad.h": '#include "ui/Grid.h"\n',
            "window/Bad.cpp": "#include <QString>\n",
            "import/xlsx/Bad2.cpp": '#include "import/ods/OdsContent.h"\n',
            "import/text/Bad.cpp": '#include "import/package/ZipPackage.h"\n',
            "import/text/Bad2.cpp": '#include "import/xls/XlsReader.h"\n',
            "load/Bad2.cpp": '#include "import/text/TextReader.h"\n',
            "import/core/Bad.cpp": '#include "load/GridLayouts.h"\n',
            "company/Bad.cpp": '#include "migration/Postings.h"\n',
        }
        for rel, text in bad.items():
            write(rel, text)
        found = check(root)
        for p in found:
            print("caught:", p)
        expected = list(bad)
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

#!/usr/bin/python3
"""scripts/check-includes.py: the tree passes; in a small tree of its own, an include that runs up
between the toolbar framework's layers or between the platform's floors and the top folders fails
the check by name, includes down or inside a unit pass, and a listed include that no longer runs
up is reported. Prints a line per check and "N passed, M failed"; exit status 1 when one failed."""
import os, subprocess, sys, tempfile

ROOT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "support"))
from checks import check, finish

SCRIPT = os.path.join(ROOT, "scripts", "check-includes.py")


def run(root=None):
    r = subprocess.run([sys.executable, SCRIPT] + ([root] if root else []), capture_output=True,
                       text=True, timeout=60)
    return r.returncode, r.stdout + r.stderr


code, out = run()
check("the tree has no include that runs up", code == 0 and "no include runs up" in out, out)


def tree(files, known=None):
    root = tempfile.mkdtemp()
    for path, text in files.items():
        os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
        with open(os.path.join(root, path), "w") as f:
            f.write(text)
    if known is not None:
        os.makedirs(os.path.join(root, "scripts"), exist_ok=True)
        with open(os.path.join(root, "scripts", "check-includes-known.txt"), "w") as f:
            f.write("# a comment\n" + "".join(l + "\n" for l in known))
    return root


DOWN = {
    "bars/model/A.h": '#include "platform/core/Window.h"\n#include "bars/model/B.h"\n',
    "bars/windows/C.cpp": '#include "bars/model/A.h"\n#include "bars/look/D.h"\n',
    "bars/customize/E.cpp": '#include "bars/windows/C.h"\n#include <vector>\n#include "F.h"\n',
    "bars/R.cpp": '#include "bars/customize/E.h"\n',
    "app/ui/G.cpp": '#include "bars/R.h"\n#include "app/engine/H.h"\n',
    "components/text/I.h": '#include "components/xml/J.h"\n',
    "platform/classes/K.h": '#include "platform/fs/L.h"\n',
    "tests/bars/T.cpp": '#include "app/ui/G.h"\n',
}
code, out = run(tree(DOWN))
check("includes down, inside a unit and from tests pass", code == 0, out)

UP = [
    ("bars/model/A.cpp", "bars/windows/C.h", "bars/model -> bars/windows"),
    ("bars/model/A.cpp", "bars/look/D.h", "bars/model -> bars/look"),
    ("bars/look/D.cpp", "bars/layout/M.h", "bars/look -> bars/layout"),
    ("bars/windows/C.cpp", "bars/customize/E.h", "bars/windows -> bars/customize"),
    ("bars/customize/E.cpp", "bars/dxBar.h", "bars/customize -> bars"),
    ("platform/core/N.cpp", "platform/widgets/O.h", "platform/core -> platform/widgets"),
    ("platform/fs/P.cpp", "platform/classes/Q.h", "platform/fs -> platform/classes"),
    ("platform/system/R.cpp", "platform/shell/S.h", "platform/system -> platform/shell"),
    ("platform/widgets/S.cpp", "bars/model/A.h", "platform/widgets -> bars/model"),
    ("netlib/U.cpp", "components/text/V.h", "netlib -> components"),
    ("htmlview/html/W.cpp", "terminal/X.h", "htmlview -> terminal"),
    ("bars/windows/Y.cpp", "app/ui/Z.h", "bars/windows -> app"),
]
for src, header, why in UP:
    code, out = run(tree({src: '// x\n#include "%s"\n' % header}))
    check("%s including %s fails" % (src, header),
          code == 1 and "%s:2: includes %s (%s)" % (src, header, why) in out, out)

code, out = run(tree({"bars/model/A.cpp": '#include "bars/windows/C.h"\n'},
                     ["bars/model/A.cpp -> bars/windows/C.h"]))
check("a listed include passes", code == 0 and "1 still listed" in out, out)
code, out = run(tree({"bars/model/A.cpp": '#include "bars/model/B.h"\n'},
                     ["bars/model/A.cpp -> bars/windows/C.h"]))
check("a listed include that is gone fails", code == 1 and "no longer runs up" in out, out)

finish()

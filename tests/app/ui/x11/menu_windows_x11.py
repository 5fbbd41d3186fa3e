#!/usr/bin/python3
"""The main window's menu commands that open a window, chosen with real input on a real X server
with a window manager (Xvfb + openbox, xdotool): by the mouse (the menu opened by a click on the
menu bar, the entry clicked) and by keys (Alt with the menu's letter, then the entry's letter).
While the window a command opened shows, no menu of the program may be left on the screen: a
menu is an override-redirect window, which nothing else would take away, and it would cover the
new window. Each window is pictured with the screen around it, then closed.

usage: menu_windows_x11.py KESTRO PICTURES

Started without the display of its own, the script runs itself again under xvfb-run with a
screen whose framebuffer Xvfb keeps in a file (-fbdir): the pictures are cut from it. Prints a
line per check and "N passed, M failed".
"""
import os, shutil, subprocess, sys, tempfile, time, traceback

HERE = os.path.dirname(os.path.abspath(__file__))
E2E = os.path.join(HERE, "..", "..", "..", "e2e")
sys.path.insert(0, E2E)
sys.path.insert(0, os.path.join(E2E, "window"))
import bounded
from xtools import run_on_own_screen, start_openbox, wait_for, xdotool
from screen import Screen

FB_ENV = "KESTRO_MENU_X11_FBDIR"
SCREEN = (1024, 768)
RUN_BOUND = 240

run_on_own_screen(FB_ENV, SCREEN, "kestro-menu-fb-")

KESTRO = os.path.abspath(sys.argv[1])
PICTURES = os.path.abspath(sys.argv[2]) if len(sys.argv) > 2 else os.getcwd()

# The menu bar's items and their entries in the main window, as its definition lays them out:
# (caption of the menu, its Alt letter, its window point), entries as (caption, letter, offset
# of the entry's middle below the menu bar's item).
MENUS = {
    "Kestro": ("e", (33, 33)),
    "Konfiguration": ("k", (97, 33)),
    "Online": ("o", (162, 33)),
    "Hilfe": ("h", (202, 33)),
}
# The commands that open a window: menu, entry caption, entry letter, entry offset.
COMMANDS = [
    ("Kestro", "Optionen...", "o", 22),
    ("Kestro", "Wizard...", "w", 44),
    ("Konfiguration", "Laden...", "l", 44),
    ("Konfiguration", "Konfiguration...", "k", 66),
    ("Konfiguration", "News bestellen...", "b", 88),
    ("Konfiguration", "Speichern unter...", "u", 132),
    ("Online", "MultiStart", "m", 44),
    ("Online", "Telnet", "t", 71),
    ("Hilfe", "Über...", "Return", 22),
]

passed = failed = 0


def check(what, ok, detail=None):
    global passed, failed
    if ok:
        passed += 1
        print("ok   " + what)
    else:
        failed += 1
        print("FAIL " + what + ("" if detail is None else ": %s" % (detail,)))
    sys.stdout.flush()


def run(*argv):
    return bounded.run([str(a) for a in argv], timeout=30).stdout.decode("utf-8", "replace")


def screen():
    return Screen(os.path.join(os.environ[FB_ENV], "Xvfb_screen0"))


def program_window_ids():
    """A search that meets a window going away meanwhile (a dialog just closed) fails and lists
    what it found until then: it is asked again."""
    for _ in range(20):
        search = bounded.run(["xdotool", "search", "--onlyvisible", "--class", "^kestro$"],
                             timeout=30)
        if search.returncode == 0:
            break
        time.sleep(0.05)
    return search.stdout.decode().split()


def program_windows():
    """The viewable top-level windows of the program: {id: (override_redirect, x, y, w, h)}.
    Under a window manager a managed window lies inside its frame; override-redirect windows
    (menus) are children of the root."""
    found = {}
    for wid in program_window_ids():
        info = run("xwininfo", "-id", wid)
        if "IsViewable" not in info:
            continue
        values = {}
        for line in info.splitlines():
            key, _, value = line.strip().partition(":")
            values[key] = value.strip()
        found[wid] = (values.get("Override Redirect State") == "yes",
                      int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"]),
                      int(values["Width"]), int(values["Height"]))
    return found


def menus_shown():
    return sorted((wid, g[1:]) for wid, g in program_windows().items() if g[0])


def managed_windows():
    return {wid: g[1:] for wid, g in program_windows().items() if not g[0]}


def dark_pixels(shot, rect):
    left, top, width, height = rect
    return sum(1 for y in range(top, top + height, 2) for x in range(left, left + width, 2)
               if sum(shot.pixel(x, y)) < 150)


def save_picture(name):
    os.makedirs(PICTURES, exist_ok=True)
    screen().save_png(os.path.join(PICTURES, name + ".png"))


def open_by_mouse(main, menu, offset):
    _, point = MENUS[menu]
    x, y = main[0] + point[0], main[1] + point[1]
    xdotool("mousemove", x, y, "click", 1)
    wait_for("the menu %s" % menu, lambda: len(menus_shown()) == 1, 10)
    xdotool("mousemove", x + 30, y + offset)
    time.sleep(0.2)  # the pointer rests on the entry, as a user's does
    xdotool("click", 1)


def open_by_keys(menu, letter):
    xdotool("key", "alt+" + MENUS[menu][0])
    wait_for("the menu %s" % menu, lambda: len(menus_shown()) == 1, 10)
    xdotool("key", letter)


def close(wid):
    """Esc closes a dialog; a window that keeps it (the telnet window) is closed through the
    window manager."""
    xdotool("key", "Escape")
    try:
        wait_for("the window closed", lambda: wid not in managed_windows(), 5)
    except AssertionError:
        xdotool("windowactivate", "--sync", wid, "key", "alt+F4")
        wait_for("the window closed", lambda: wid not in managed_windows(), 10)


def walk(main_id, way):
    for menu, entry, letter, offset in COMMANDS:
        name = "%s > %s by %s" % (menu, entry, way)
        main = wait_for("the main window", lambda: managed_windows().get(main_id), 10)
        before = set(managed_windows())
        xdotool("mousemove", main[0] + main[2] // 2, main[1] + main[3] - 40)
        if way == "mouse":
            open_by_mouse(main, menu, offset)
        else:
            open_by_keys(menu, letter)
        new = wait_for("the window of " + name,
                       lambda: [w for w in managed_windows() if w not in before], 20)[0]
        geometry = managed_windows()[new]
        # The window is on the screen and painted before the screen is judged.
        wait_for("the window of %s painted" % name,
                 lambda: dark_pixels(screen(), (geometry[0], geometry[1],
                                                min(geometry[2], 200), 30)) > 20, 10)
        left = menus_shown()
        check(name + ": no menu is left on the screen", not left, left)
        save_picture("menu-%s-%s-%s" % (menu.lower(), letter.lower(), way))
        close(new)


def main():
    bounded.give_up_after(RUN_BOUND, "menu_windows_x11.py")
    wm = start_openbox()
    home = tempfile.mkdtemp(prefix="kestro-menu-home-")
    # The runtime directory of its own: a copy of the program running elsewhere on the machine
    # would otherwise be the first one, and this one would end at once.
    env = dict(os.environ, KESTRO_HOME=home, KESTRO_REGISTRY_DIR=os.path.join(home, "registry"),
               XDG_CONFIG_HOME=os.path.join(home, "config"), XDG_RUNTIME_DIR=home,
               KESTRO_CLOCK="none",
               QT_QPA_PLATFORM="xcb",
               LSAN_OPTIONS="suppressions=" + os.path.join(E2E, "window", "lsan.supp"))
    kestro = bounded.popen([KESTRO], env=env, cwd=home, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    try:
        main_id = wait_for("the main window", lambda: list(managed_windows()), 60)[0]
        main = managed_windows()[main_id]
        wait_for("the main window painted",
                 lambda: dark_pixels(screen(), (main[0], main[1], 300, 40)) > 20)
        for way in ("mouse", "keys"):
            try:
                walk(main_id, way)
            except Exception:
                check("the walk by %s ran through" % way, False, traceback.format_exc()[-1500:])
                save_picture("menu-failed-%s" % way)
                for wid in managed_windows():
                    if wid != main_id:
                        close(wid)
        xdotool("key", "alt+x")
        rc = bounded.stop(kestro, 30)
        check("Alt+X ends the program with exit code 0", rc == 0,
              (rc, kestro.stderr.read().decode("utf-8", "replace")[-1500:]))
    finally:
        if kestro.poll() is None:
            bounded.stop(kestro, 0)
        bounded.stop(wm, 0)
        shutil.rmtree(home, ignore_errors=True)
    print("%d passed, %d failed" % (passed, failed))
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()

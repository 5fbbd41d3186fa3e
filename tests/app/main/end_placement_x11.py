#!/usr/bin/python3
"""The real kestro binary ended while a message viewer is open, on a real X server with a window
manager (Xvfb + openbox, xdotool): the viewer keeps its placement as a viewer closed before does.

usage: end_placement_x11.py KESTRO PICTURES

kestro starts without arguments; "Laden..." loads a box whose POP3 server (the script's own, on
127.0.0.1) holds one mail, F7 fetches it, and a double click on its line in the incoming-mail
list opens the viewer. The viewer is dragged by its caption; Alt+X on the main window ends the
program with the viewer still open. kestro.xml then holds the viewer's place, and at the next
start (the mail fetched again) the viewer opens there. Started without the display of its own,
the script runs itself again under xvfb-run with a screen whose framebuffer Xvfb keeps in a file
(-fbdir): the pictures are cut from it. Prints a line per check and "N passed, M failed".
"""
import os, re, shutil, subprocess, sys, tempfile, traceback

HERE = os.path.dirname(os.path.abspath(__file__))
TESTS = os.path.join(HERE, "..", "..")
sys.path.insert(0, os.path.join(TESTS, "e2e"))
sys.path.insert(0, os.path.join(TESTS, "e2e", "window"))
sys.path.insert(0, os.path.join(TESTS, "stress"))
import bounded
from fake_servers import Server, command, stuffed
from screen import Screen
from xtools import (geometry, load_box, run_on_own_screen, start_openbox, wait_for, window_named,
                    xdotool)

FB_ENV = "KESTRO_END_PLACEMENT_FBDIR"
SCREEN = (1024, 768)
RUN_BOUND = 240
run_on_own_screen(FB_ENV, SCREEN, "kestro-end-fb-")

KESTRO = os.path.abspath(sys.argv[1])
PICTURES = os.path.abspath(sys.argv[2]) if len(sys.argv) > 2 else os.getcwd()
# Where the first mail of the incoming-mail list lies in the main window (its definition fixes
# it), and where the viewer is taken.
FIRST_MAIL = (80, 252)
VIEWER = "Nachricht betrachten"
MOVED_TO = (236, 161)
MAIL = (b"From: anna@example.org\r\nTo: point@example.org\r\nSubject: Wo das Fenster bleibt\r\n"
        b"Date: Fri, 04 Dec 2026 10:30:00 +0100\r\nMessage-ID: <end-placement@example.org>\r\n"
        b"\r\nDer Betrachter bleibt offen, wenn Kestro endet.\r\n")

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


class Pop3(Server):
    """One mail, served to every session (its DELE is taken and forgotten)."""

    def handle(self, conn, reader):
        conn.sendall(b"+OK ready\r\n")
        while True:
            line = command(reader)
            if line is None:
                return
            word, _, arg = line.partition(" ")
            word = word.upper()
            if word in ("USER", "PASS", "NOOP", "DELE", "RSET"):
                conn.sendall(b"+OK\r\n")
            elif word == "STAT":
                conn.sendall(b"+OK 1 %d\r\n" % len(MAIL))
            elif word == "LIST" and arg:
                conn.sendall(b"+OK 1 %d\r\n" % len(MAIL))
            elif word == "LIST":
                conn.sendall(b"+OK\r\n1 %d\r\n.\r\n" % len(MAIL))
            elif word == "UIDL":
                conn.sendall(b"+OK\r\n1 end-placement\r\n.\r\n")
            elif word == "RETR":
                conn.sendall(b"+OK\r\n" + stuffed(MAIL))
            elif word == "QUIT":
                conn.sendall(b"+OK bye\r\n")
                return
            else:
                conn.sendall(b"-ERR unknown\r\n")


def screen():
    return Screen(os.path.join(os.environ[FB_ENV], "Xvfb_screen0"))


def dark_pixels(rect):
    shot = screen()
    left, top, width, height = rect
    return sum(1 for y in range(top, top + height, 2) for x in range(left, left + width, 2)
               if sum(shot.pixel(x, y)) < 150)


def picture(name):
    os.makedirs(PICTURES, exist_ok=True)
    screen().save_png(os.path.join(PICTURES, name + ".png"))


def read(path):
    try:
        with open(path, "rb") as f:
            return f.read().decode("latin-1")
    except OSError:
        return ""


def stored_place(home):
    """Left and top of the viewer's NormalPos in kestro.xml, or None."""
    found = re.search(r"<TFormViewMessage>.*?<NormalPos value=\"(-?\d+),(-?\d+),",
                      read(os.path.join(home, "kestro.xml")), re.S)
    return (int(found.group(1)), int(found.group(2))) if found else None


def open_viewer(home, env, box, session):
    """Starts kestro, fetches the mail with F7 and opens the viewer on it: (kestro, main, viewer)."""
    kestro = bounded.popen([KESTRO], env=env, cwd=home, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    main = wait_for("the main window", lambda: window_named("Orvalin Kestro V"))
    left, top, _, _ = geometry(main)
    wait_for("the main window painted", lambda: dark_pixels((left, top, 300, 40)) > 20)
    check("%s: the box loads through Laden..." % session, load_box(main, box))
    log = os.path.join(home, "kestro.log")
    runs = read(log).count("Onlinezeit: ")
    xdotool("key", "F7")
    wait_for("the run's end", lambda: read(log).count("Onlinezeit: ") > runs, 60, 0.2)
    mail = (left + FIRST_MAIL[0] - 60, top + FIRST_MAIL[1] - 10, 300, 15)
    wait_for("the mail's line", lambda: dark_pixels(mail) > 20, 30)
    xdotool("mousemove", left + FIRST_MAIL[0], top + FIRST_MAIL[1], "click", "--repeat", 2,
            "--delay", 80, 1)
    viewer = wait_for("the message viewer", lambda: window_named(VIEWER), 30)
    v_left, v_top, _, _ = geometry(viewer)
    wait_for("the viewer painted", lambda: dark_pixels((v_left, v_top, 300, 20)) > 20)
    return kestro, main, viewer


def end_with_alt_x(kestro, main, session):
    left, top, width, height = geometry(main)
    # The main window takes the keys: its status bar is clicked first.
    xdotool("mousemove", left + width // 2, top + height - 8, "click", 1)
    xdotool("windowactivate", "--sync", main, "key", "alt+x")
    rc = bounded.stop(kestro, 30)
    check("%s: Alt+X with the viewer open ends the program with exit code 0" % session, rc == 0,
          (rc, kestro.stderr.read().decode("utf-8", "replace")[-1500:]))


def main():
    bounded.give_up_after(RUN_BOUND, "end_placement_x11.py")
    wm = start_openbox()
    home = tempfile.mkdtemp(prefix="kestro-end-home-") + "/"
    pop3 = Pop3()
    os.makedirs(home + "spool")
    box = home + "end.cfg"
    with open(box, "w") as f:
        f.write("### Kestro Configuration File Version 1 ###\nPop3Server=127.0.0.1:%d\n"
                "Pop3User=point\nPop3Pass=secret\nPop3Spool=%sspool/\nPop3Keep=disabled\n"
                % (pop3.port, home))
    # The runtime directory of its own: a copy of the program running elsewhere on the machine
    # would otherwise be the first one, and this one would end at once.
    env = dict(os.environ, KESTRO_HOME=home, KESTRO_REGISTRY_DIR=home + "registry",
               XDG_CONFIG_HOME=home + "config", XDG_RUNTIME_DIR=home, KESTRO_CLOCK="none",
               QT_QPA_PLATFORM="xcb",
               LSAN_OPTIONS="suppressions=" + os.path.join(TESTS, "e2e", "window", "lsan.supp"))
    kestro = None
    try:
        kestro, main_id, viewer = open_viewer(home, env, box, "first start")
        picture("end-placement-1-viewer-opened")
        v_left, v_top, _, _ = geometry(viewer)
        # Dragged by its caption, as the user moves it.
        grab = (v_left + 80, v_top + 10)
        to = (grab[0] + MOVED_TO[0] - v_left, grab[1] + MOVED_TO[1] - v_top)
        xdotool("mousemove", *grab, "mousedown", 1, "mousemove", (grab[0] + to[0]) // 2,
                (grab[1] + to[1]) // 2, "sleep", 0.1, "mousemove", *to, "sleep", 0.1, "mouseup", 1)
        moved = wait_for("the viewer moved", lambda: geometry(viewer)[:2] == MOVED_TO, 10)
        check("first start: the viewer follows its caption to %s" % (MOVED_TO,), moved)
        picture("end-placement-2-viewer-moved")
        end_with_alt_x(kestro, main_id, "first start")
        check("first start: kestro.xml keeps the open viewer's place", stored_place(home) ==
              MOVED_TO, (stored_place(home), read(os.path.join(home, "kestro.xml"))))

        kestro, main_id, viewer = open_viewer(home, env, box, "next start")
        picture("end-placement-3-viewer-reopened")
        check("next start: the viewer opens where it was left", geometry(viewer)[:2] == MOVED_TO,
              geometry(viewer))
        end_with_alt_x(kestro, main_id, "next start")
        check("next start: kestro.xml still keeps the viewer's place",
              stored_place(home) == MOVED_TO, stored_place(home))
    except Exception:
        check("the steps ran through", False, traceback.format_exc()[-1500:])
        picture("end-placement-failed")
    finally:
        if kestro is not None and kestro.poll() is None:
            bounded.stop(kestro, 0)
        pop3.stop()
        bounded.stop(wm, 0)
        shutil.rmtree(home, ignore_errors=True)
    print("%d passed, %d failed" % (passed, failed))
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()

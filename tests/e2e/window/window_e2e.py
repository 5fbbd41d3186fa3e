#!/usr/bin/python3
"""The real kestro binary with its window on an X server of its own (xvfb-run), driven by real
input (xdotool), against the e2e servers.

usage: window_e2e.py KESTRO PICTURES     (KESTRO_E2E_ENV names the fixture's env file)

Started without a display, the script runs itself again under xvfb-run, with a screen whose
framebuffer Xvfb keeps in a file (-fbdir): the pictures are cut from it. kestro starts without
arguments and shows its window; "Laden..." on the toolbar loads the box through the open dialog
(its name typed), F7 runs the exchange, the task view shows the tasks while they run and the
incoming-mail list the mails fetched; Alt+X ends the program. The spool then holds what an
unattended run of the same box stores. A run started with a box asks before it dials, and the
question waits for its answer (No: nothing dialled); it asks again before it hangs up (No: the
line stays up while the program runs). Prints a line per check and "N passed, M failed".
"""
import os, subprocess, sys
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "run"))
sys.path.insert(0, os.path.join(HERE, ".."))
import bounded
from xtools import geometry, load_box, run_on_own_screen, wait_for, window_named, xdotool

FB_ENV = "KESTRO_WINDOW_E2E_FBDIR"
SCREEN = (1024, 768)
run_on_own_screen(FB_ENV, SCREEN, "kestro-window-fb-")

import runner  # the checks, their counters and the run of the cases
import exchange_e2e as x  # the program directories, users, groups and checks of the run's test
from exchange_e2e import check
from screen import Screen

PICTURES = os.path.abspath(sys.argv[2]) if len(sys.argv) > 2 else os.getcwd()
RUN_BOUND = 300
# Where things are in the window (its definition fixes them): the rows of the task view and of
# the incoming-mail list.
TASK_ROWS = (22, 117, 530, 45)  # left, top, width, height: the first three rows
MAIL_ROWS = (20, 242, 530, 66)  # the first two mails


def screen():
    return Screen(os.path.join(os.environ[FB_ENV], "Xvfb_screen0"))


def dark_pixels(shot, rect):
    """How many pixels of rect (screen coordinates) are text-dark."""
    left, top, width, height = rect
    return sum(1 for y in range(top, top + height) for x in range(left, left + width)
               if sum(shot.pixel(x, y)) < 150)


def picture(wid, name):
    left, top, width, height = geometry(wid)
    os.makedirs(PICTURES, exist_ok=True)
    screen().save_png(os.path.join(PICTURES, name + ".png"), left, top, width, height)


def in_window(wid, rect):
    left, top, _, _ = geometry(wid)
    return (left + rect[0], top + rect[1], rect[2], rect[3])


def write_box(p, user, pw, groups):
    """A box of the program's own (what "Laden..." reads) over the servers that answer slowly:
    the run lasts long enough to be watched."""
    p.write("window.rc", "".join("%s 0\n" % g for g in groups))
    p.write("spool/M0001.OUT", x.outgoing_mail("point@example.org", "sink@example.org",
                                               "from the window", "sent by F7"))
    return p.write("window.cfg", """### Kestro Configuration File Version 1 ###
Pop3Server=%s:%d
Pop3User=%s
Pop3Pass=%s
Pop3Spool=%s
Pop3Keep=disabled
SmtpServer=%s:%d
SmtpSpool=%s
NntpServer=%s:%d
NntpSpool=%s
NntpGetNewsList=disabled
""" % (x.HOST, x.port("FAKE_DELAY_POP3"), user, pw, p.spool, x.HOST, x.port("SMTP"), p.spool,
       x.HOST, x.port("FAKE_DELAY_NNTP"), p.spool))


def mails_for(user):
    for n, (sender, subject) in enumerate([("anna@example.org", "Treffen am Freitag"),
                                           ("bob@example.org", "Bilder vom Ausflug")]):
        x.drop_mail(user, "From: %s\nTo: point@example.org\nSubject: %s\n"
                          "Date: Fri, 04 Dec 2026 1%d:30:00 +0100\n"
                          "Message-ID: <window-%d@example.org>\n\nText %d\n" % (sender, subject, n, n, n))


def window_env(p):
    """The program's environment with the display instead of the offscreen platform."""
    env = dict(p.env, DISPLAY=os.environ["DISPLAY"],
               LSAN_OPTIONS="suppressions=" + os.path.join(HERE, "lsan.supp"))
    env.pop("QT_QPA_PLATFORM")
    return env


def window_run(p, box):
    kestro = bounded.popen([x.KESTRO], env=window_env(p), cwd=p.home, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    try:
        main = wait_for("the main window", lambda: window_named("Orvalin Kestro V"))
        check("window: kestro without arguments shows its window", main is not None)
        wait_for("the window painted", lambda: dark_pixels(screen(), in_window(main, (0, 0, 300, 20))) > 50)
        picture(main, "window-idle")

        # The box comes through "Laden...": the open dialog takes the name typed into it.
        left, top, _, _ = geometry(main)
        check("window: the open dialog came and went", load_box(main, box))
        xdotool("mousemove", left + 400, top + 470)  # out of the pictures' way

        xdotool("key", "F7")
        wait_for("the run's start", lambda: " gestartet" in p.log("kestro.log"), 30)
        # While the slow servers keep the tasks busy, their rows show in the task view.
        shown = wait_for("tasks in the task view",
                         lambda: dark_pixels(screen(), in_window(main, TASK_ROWS)) > 200, 30)
        check("window: the task view shows the running tasks", shown)
        try:  # a picture with more than one task, when the run gets there
            second_row = (TASK_ROWS[0], TASK_ROWS[1] + 15, TASK_ROWS[2], 15)
            wait_for("a second task", lambda: dark_pixels(screen(), in_window(main, second_row)), 10)
        except AssertionError:
            pass
        picture(main, "window-run")
        wait_for("the run's end", lambda: "Onlinezeit: " in p.log("kestro.log"), 240, 0.2)
        wait_for("the task view emptied",
                 lambda: dark_pixels(screen(), in_window(main, TASK_ROWS)) == 0, 30)
        mails = dark_pixels(screen(), in_window(main, MAIL_ROWS))
        check("window: the incoming-mail list shows the fetched mails", mails > 300, mails)
        picture(main, "window-after")
        check("window: the program still runs after the run", kestro.poll() is None)

        # A double click on the first mail opens the viewer on it; its Beenden button (bottom
        # right, as its definition places it) closes it.
        xdotool("mousemove", left + MAIL_ROWS[0] + 60, top + MAIL_ROWS[1] + 10, "click",
                "--repeat", 2, "--delay", 80, 1)
        viewer = wait_for("the message viewer", lambda: window_named("Nachricht betrachten"), 30)
        check("window: a double click on a mail opens the viewer", viewer is not None)
        wait_for("the viewer painted",
                 lambda: dark_pixels(screen(), in_window(viewer, (0, 0, 300, 20))) > 50)
        picture(viewer, "window-viewer")
        v_left, v_top, v_width, v_height = geometry(viewer)
        xdotool("mousemove", v_left + v_width - 52, v_top + v_height - 26, "click", 1)
        closed = wait_for("the viewer closed",
                          lambda: window_named("Nachricht betrachten") is None, 30)
        check("window: Beenden closes the viewer", closed)
        xdotool("mousemove", left + 400, top + 470)

        xdotool("key", "alt+x")
        rc = bounded.stop(kestro, 30)
        check("window: Alt+X ends the program with exit code 0", rc == 0,
              (rc, kestro.stderr.read().decode("utf-8", "replace")[-500:]))
    finally:
        if kestro.poll() is None:
            bounded.stop(kestro, 0)


def case_window():
    groups = x.new_groups("win", 1, 6)
    unattended, windowed = x.Program("unattended"), x.Program("window")
    try:
        for p in (unattended, windowed):
            user, pw = x.new_user("win")
            mails_for(user)
            box = write_box(p, user, pw, groups)
            if p is unattended:
                rc, wall, cpu, err = p.run(box)
                check("unattended: exits 0", rc == 0, (rc, err[-500:]))
            else:
                window_run(p, box)
            check("%s: M0001.OUT sent" % p.name, not os.path.exists(p.spool + "M0001.OUT"))
        got, want = windowed.spool_files(), unattended.spool_files()
        check("window: the spool holds the two mails and six articles",
              len(x.mail_scripts(got)) == 2 and len(x.rnews_articles(got)) == 6,
              (len(x.mail_scripts(got)), len(x.rnews_articles(got))))
        check("window: the spool holds what the unattended run stored", sorted(got) == sorted(want),
              (len(got), len(want)))
    finally:
        unattended.cleanup()
        windowed.cleanup()


def case_dial_question():
    """With a display the question before a dial shows and waits, also for a run started with a
    box: No ends the run without dialling and without an error, Yes dials and exchanges."""
    for key, answer in (("n", "No"), ("y", "Yes")):
        p = x.Program("ask", time_server=False)
        try:
            user, pw = x.new_user("ask")
            x.drop_mail(user, "From: a@example.org\nSubject: after the dial\n\nx\n")
            # The line is up while its file exists; the calls file keeps what was done to it.
            line, calls = p.home + "line-up", p.home + "calls"
            with open(p.home + "phonebook.ini", "w") as f:
                f.write("[isp]\nConnect=echo connect >> %s; touch %s\n"
                        "Disconnect=echo disconnect >> %s; rm -f %s\nStatus=test -f %s\n"
                        % (calls, line, calls, line, line))
            box = p.write("ask.cfg", "### Kestro Configuration File Version 1 ###\n"
                                     "Pop3Server=%s:%d\nPop3User=%s\nPop3Pass=%s\nPop3Spool=%s\n"
                                     "DialOnStart=enabled\nDialName=isp\nDialAskBefore=enabled\n"
                          % (x.HOST, x.port("POP3"), user, pw, p.spool))
            xdotool("mousemove", 0, 0)  # out of the picture's way
            kestro = bounded.popen([x.KESTRO, box], env=window_env(p), cwd=p.home,
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.PIPE)
            try:
                question = wait_for("the question", lambda: window_named("Orvalin Kestro$"))
                wait_for("the question painted",
                         lambda: dark_pixels(screen(), in_window(question, (0, 30, 300, 40))) > 50)
                if key == "n":
                    picture(question, "window-dial-question")
                check("ask %s: the question waits: nothing dialled or fetched yet" % answer,
                      kestro.poll() is None and not os.path.exists(calls) and
                      x.pop3_count(user, pw) == 1)
                xdotool("key", key)
                rc = bounded.stop(kestro, 60)
            finally:
                if kestro.poll() is None:
                    bounded.stop(kestro, 0)
            check("ask %s: the run ends with exit code 0" % answer, rc == 0,
                  (rc, kestro.stderr.read().decode("utf-8", "replace")[-500:]))
            log = p.log("kestro.log")
            if key == "n":
                check("ask No: no dial, the mail stays on the server",
                      not os.path.exists(calls) and x.pop3_count(user, pw) == 1)
                check("ask No: no error in the run log", "Fehler" not in log, log[-500:])
            else:
                done = open(calls).read() if os.path.exists(calls) else ""
                check("ask Yes: dialled, fetched and hung up",
                      done == "connect\ndisconnect\n" and x.pop3_count(user, pw) == 0,
                      (done, log[-500:]))
        finally:
            p.cleanup()


def case_hangup_question():
    """With a display the question before the hang-up shows and waits once the exchange is
    done. Yes (a run started with the box) hangs up. No (a run started from the window) leaves
    the line up while the program runs on; the run ends well either way."""
    for key, answer in (("n", "No"), ("y", "Yes")):
        p = x.Program("hangup", time_server=False)
        try:
            user, pw = x.new_user("hup")
            x.drop_mail(user, "From: a@example.org\nSubject: before the hang-up\n\nx\n")
            line, calls = p.home + "line-up", p.home + "calls"
            with open(p.home + "phonebook.ini", "w") as f:
                f.write("[isp]\nConnect=echo connect >> %s; touch %s\n"
                        "Disconnect=echo disconnect >> %s; rm -f %s\nStatus=test -f %s\n"
                        % (calls, line, calls, line, line))
            box = p.write("hangup.cfg", "### Kestro Configuration File Version 1 ###\n"
                                        "Pop3Server=%s:%d\nPop3User=%s\nPop3Pass=%s\n"
                                        "Pop3Spool=%s\nDialOnStart=enabled\nDialName=isp\n"
                                        "HangupOnExit=enabled\nHangupAskBefore=enabled\n"
                          % (x.HOST, x.port("POP3"), user, pw, p.spool))
            xdotool("mousemove", 0, 0)
            kestro = bounded.popen([x.KESTRO] + ([box] if key == "y" else []), env=window_env(p),
                                   cwd=p.home, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
            try:
                if key == "n":
                    main = wait_for("the main window", lambda: window_named("Orvalin Kestro V"))
                    wait_for("the window painted",
                             lambda: dark_pixels(screen(), in_window(main, (0, 0, 300, 20))) > 50)
                    load_box(main, box)
                    xdotool("mousemove", 0, 0, "key", "F7")
                question = wait_for("the question", lambda: window_named("Orvalin Kestro$"))
                wait_for("the question painted",
                         lambda: dark_pixels(screen(), in_window(question, (0, 30, 300, 40))) > 50)
                if key == "n":
                    picture(question, "window-hangup-question")
                check("hang-up %s: the question waits with the line up and the mail fetched"
                      % answer, kestro.poll() is None and os.path.exists(line) and
                      x.pop3_count(user, pw) == 0)
                xdotool("key", key)
                if key == "n":
                    wait_for("the question gone", lambda: window_named("Orvalin Kestro$") is None)
                    wait_for("the run's end", lambda: "Onlinezeit: " in p.log("kestro.log"), 30)
                    done = open(calls).read() if os.path.exists(calls) else ""
                    check("hang-up No: the line stays up while the program runs on",
                          kestro.poll() is None and done == "connect\n" and os.path.exists(line),
                          done)
                    xdotool("key", "alt+x")
                rc = bounded.stop(kestro, 60)
            finally:
                if kestro.poll() is None:
                    bounded.stop(kestro, 0)
            check("hang-up %s: the program ends with exit code 0" % answer, rc == 0,
                  (rc, kestro.stderr.read().decode("utf-8", "replace")[-500:]))
            if key == "y":
                done = open(calls).read() if os.path.exists(calls) else ""
                check("hang-up Yes: dialled, fetched and hung up",
                      done == "connect\ndisconnect\n" and not os.path.exists(line),
                      (done, p.log("kestro.log")[-500:]))
        finally:
            p.cleanup()


def main():
    bounded.give_up_after(RUN_BOUND, "window_e2e.py")
    runner.run_cases((case_window, case_dial_question, case_hangup_question))


if __name__ == "__main__":
    main()

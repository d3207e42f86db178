#!/usr/bin/env python3
"""End-to-end runs of ocxfixer.exe under Wine.

Each case runs the real program in a pty of its own (a detached tmux server on
a private socket, so no terminal or stdin is needed), in one fresh Wine prefix
made for this run, from a fake game folder that holds dkproblemas/ with the
program and the stand-in controls built by the project (NOT the real
controls). Every screen is compared whole, colours included, with the screen
the program must show; then the exit status, the colour left behind and the
files on disk are checked.
"""
import argparse
import os
import re
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import time

DEADLINE = 180  # seconds for one expected screen; the machine is shared
PAUSE = "Press any key to continue..."
PANE_WIDTH, PANE_HEIGHT = 100, 50

# Console attributes as tmux renders them (SGR foreground codes).
WHITE, YELLOW, RED = 97, 93, 91
ATTRIBUTE_WHITE = 15

# Each control: its name beside the program, its copy and registration steps,
# and the names the copy and the registration screens give it.
CONTROL_STEPS = (("msinet.ocx", "copy_msinet", "reg_msinet", "msinet.ocx", "msinet.ocx"),
                 ("RICHTX32.OCX", "copy_richtx", "reg_richtx", "ritchx32.ocx", "ritchtx32.ocx"),
                 ("CSWSK32.OCX", "copy_cswsk", "reg_cswsk", "ultimo.ocx", "cswsk32.ocx"))
CONTROLS = tuple(c[0] for c in CONTROL_STEPS)
STEPS = tuple(c[1] for c in CONTROL_STEPS) + tuple(c[2] for c in CONTROL_STEPS)
# What Wine's copy prints when its source or its target folder is missing.
COPY_FAILURE_NOISE = "File not found.\n\n"
COPY_NO_FOLDER_NOISE = "Path not found.\n\n"
# ...and when its target is a folder that holds a folder of the same name.
COPY_BLOCKED_NOISE = "Access denied.\n\n"
# A game folder whose path has blanks, brackets and a letter outside ASCII.
AWKWARD_GAME_FOLDER = ("Program Files (x86)", "Juegos \u00f1", "drakmora")

# ---------------------------------------------------------------- the screens


class Screen:
    """Records the (colour, text) pieces a screen must show."""

    def __init__(self, colour):
        self.colour = colour
        self.pieces = []

    def set(self, colour):
        self.colour = colour

    def write(self, *texts):
        for text in texts:
            self.pieces.append((self.colour, text))

    def title(self):
        self.write("\n", "solucionador de DK Runtime errors (v0.1)\n",
                   "----------------------------------------\n", "\n")

    def separator(self):
        self.write("**************************************\n")

    def result(self, ok, name, done):
        self.write("\n")
        if ok:
            self.write("|---> %s %s" % (name, done))
            self.set(YELLOW)
            self.write(" correctamente!\n")
        else:
            self.set(RED)
            self.write("|---> %s NO %s!\n" % (name, done))
        self.write("\n")
        self.set(WHITE)


def introduction():
    s = Screen(WHITE)
    s.title()
    s.write("Este programa lo unico que hara en tu sistema es\n",
            "actualizar 3 OCXs (richtx32.ocx, msinet.ocx, cswsk32.ocx)\n",
            "registrarlos y dejar todo listo para el correcto funcionamiento\n",
            "de drakmora.\n", "\n", "\n")
    s.set(YELLOW)
    s.write("COMO USARME: 1ro) Descomprime el zip.\n",
            "             2do) Ve donde tienes instalado DRAKMORA\n",
            "             3ro) Crea una carpeta llamada dkproblemas\n",
            "             4to) Copia todo lo que tenia el zip dentro.\n",
            "             5to) Corre este exe nuevamente.\n", "\n", "\n")
    s.set(WHITE)
    stars = "    " + "*" * 55 + "\n"
    s.write(stars, stars, "    ***************** desea instalar? (S / N)**************\n", stars,
            stars, "\n", "\n", "Respuesta: ")
    return s


def copying(ok, sources, no_system_folder=False, blocked_system32=False):
    """ok: step -> bool; sources: control names present beside the program;
    no_system_folder: c:\\windows\\system is missing; blocked_system32: no
    copy into c:\\windows\\system32 can succeed."""
    s = Screen(WHITE)
    s.title()
    s.set(YELLOW)
    s.write("continuemos!\n")
    s.set(WHITE)
    s.write("\n")
    for source, step, _, shown, _ in CONTROL_STEPS:
        s.separator()
        s.write("\n")
        for into in ("system", "syswow64") if source == "msinet.ocx" else ("game",):
            if source not in sources:
                s.write(COPY_FAILURE_NOISE)
            elif into == "system" and no_system_folder:
                s.write(COPY_NO_FOLDER_NOISE)
            elif into == "syswow64" and blocked_system32:
                s.write(COPY_BLOCKED_NOISE)
        s.result(ok[step], shown, "copiado")
    s.write("\n")
    s.separator()
    s.write(PAUSE)
    return s


def registering(ok):
    s = Screen(WHITE)
    s.title()
    for i, (_, _, step, _, shown) in enumerate(CONTROL_STEPS):
        if i:
            s.write("\n")
        s.result(ok[step], shown, "registrado")
        s.separator()
    s.write(PAUSE)
    return s


def closing(all_ok):
    s = Screen(WHITE)
    s.title()
    if all_ok:
        s.set(YELLOW)
        s.write("TERMINADO!\n", "\n")
        s.set(WHITE)
        s.write("Ahora solo te queda probar drakmora.\n")
    else:
        s.set(RED)
        s.write("TERMINADO CON ERRORES!\n", "\n")
        s.set(WHITE)
        s.write("Algunos pasos fallaron: revisa que los tres OCX esten junto a este\n",
                "programa y ejecutalo como administrador.\n")
    s.write("Gracias por usar nuestro software.\n", "\n", "\n", "\n", "\n")
    s.set(YELLOW)
    s.write("-- el equipo de ocxfixer\n", "http://www.example.org/ocxfixer\n")
    s.set(WHITE)
    s.write(PAUSE)
    return s


def render(pieces):
    """Lines of text in which "{code}" marks a colour change before a visible
    character; the colour of blanks is not observable and is left out."""
    lines, line, last = [], "", None
    for colour, text in pieces:
        for ch in text:
            if ch == "\n":
                lines.append(line)
                line = ""
                continue
            if ch != " " and colour != last:
                line += "{%s}" % colour
                last = colour
            line += ch
    lines.append(line)
    lines = [l.rstrip() for l in lines]
    while lines and not lines[-1]:
        lines.pop()
    return lines


def parse_capture(text):
    """tmux capture-pane -e output to (colour, text) pieces."""
    pieces, colour, at = [], None, 0
    for match in re.finditer(r"\x1b\[([0-9;]*)m", text):
        pieces.append((colour, text[at:match.start()]))
        at = match.end()
        params = [int(p) if p else 0 for p in match.group(1).split(";")]
        i = 0
        while i < len(params):
            p = params[i]
            if p in (0, 39):
                colour = None
            elif 30 <= p <= 37 or 90 <= p <= 97:
                colour = p
            elif p == 38 and i + 2 < len(params) and params[i + 1] == 5:
                colour = "38;5;%d" % params[i + 2]
                i += 2
            i += 1
    pieces.append((colour, text[at:]))
    return pieces


# ---------------------------------------------------------------- the harness


class Failure(Exception):
    pass


def winpath(path, drive_c=None):
    """The Windows path of a Unix path: C: inside the prefix, Z: elsewhere."""
    path = os.path.abspath(path)
    if drive_c and path.startswith(drive_c + os.sep):
        return "C:" + path[len(drive_c):].replace("/", "\\")
    return "Z:" + path.replace("/", "\\")


def find_ci(folder, name):
    """The file called name in folder, ignoring case (Windows semantics)."""
    if not os.path.isdir(folder):
        return None
    for entry in os.listdir(folder):
        if entry.lower() == name.lower():
            return os.path.join(folder, entry)
    return None


def read(path):
    with open(path, "rb") as f:
        return f.read()


class Harness:
    def __init__(self, args):
        self.exe = os.path.abspath(args.exe)
        self.launcher = os.path.abspath(args.launcher)
        self.controls = os.path.abspath(args.controls)
        self.work = tempfile.mkdtemp(prefix="ocxfixer-e2e.")
        self.prefix = os.path.join(self.work, "prefix")
        self.socket = "ocxfixer-e2e-%d" % os.getpid()
        # Unix file names in UTF-8, so Wine reads the non-ASCII folder right.
        self.env = dict(os.environ, WINEPREFIX=self.prefix, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", LC_ALL="C.UTF-8")
        self.drive_c = os.path.join(self.prefix, "drive_c")
        self.system = os.path.join(self.drive_c, "windows", "system")
        self.system_aside = self.system + ".aside"
        self.syswow64 = os.path.join(self.drive_c, "windows", "syswow64")
        self.game = os.path.join(self.work, "game")

    # -- setup and cleanup

    def make_prefix(self):
        print("making a fresh Wine prefix in", self.prefix, flush=True)
        subprocess.run(["wineboot", "-i"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=600)
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=600)
        if not os.path.isdir(self.syswow64):
            raise Failure("the prefix has no syswow64 folder: is wine32 installed?")

    def cleanup(self):
        quiet = dict(env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["tmux", "-L", self.socket, "kill-server"], **quiet)
        subprocess.run(["wineserver", "-k"], **quiet)
        subprocess.run(["wineserver", "-w"], **quiet)
        shutil.rmtree(self.work, ignore_errors=True)

    def tmux(self, *args, check=True):
        return subprocess.run(["tmux", "-L", self.socket, "-f", "/dev/null", *args], env=self.env,
                              check=check, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                              text=True)

    def targets(self):
        """Every place the program may copy to: folder, control, copy and registration steps."""
        msinet_folders = (self.system, self.syswow64)
        return [(folder, name, copy_step, reg_step)
                for name, copy_step, reg_step, _, _ in CONTROL_STEPS
                for folder in (msinet_folders if name == "msinet.ocx" else (self.game,))]

    def reset(self, case):
        """A fresh game folder; no control or marker left in the prefix."""
        if os.path.isdir(self.system_aside):
            os.rename(self.system_aside, self.system)
        for folder in (self.system, self.syswow64):
            for entry in os.listdir(folder):
                if entry.lower().startswith("msinet.ocx"):
                    path = os.path.join(folder, entry)
                    if os.path.isdir(path):
                        shutil.rmtree(path)
                    else:
                        os.remove(path)
        awkward_root = os.path.join(self.drive_c, *AWKWARD_GAME_FOLDER[:2])
        for path in [os.path.join(self.work, name)
                     for name in ("game", "elsewhere", "RICHTX32.OCX", "CSWSK32.OCX")] + \
                [awkward_root]:
            if os.path.isdir(path):
                shutil.rmtree(path)
            elif os.path.exists(path):
                os.remove(path)
        if case.no_system_folder:
            os.rename(self.system, self.system_aside)
        if case.blocked_system32:
            os.makedirs(os.path.join(self.syswow64, "msinet.ocx", "msinet.ocx"))
        self.game = (os.path.join(self.drive_c, *AWKWARD_GAME_FOLDER) if case.awkward_folder
                     else os.path.join(self.work, "game"))
        self.program_folder = os.path.join(self.game, "dkproblemas")
        os.makedirs(self.program_folder)
        os.makedirs(os.path.join(self.work, "elsewhere"))
        shutil.copy(self.exe, os.path.join(self.program_folder, "ocxfixer.exe"))
        for name, source in case.controls.items():
            shutil.copy(os.path.join(self.controls, source), os.path.join(self.program_folder, name))

    # -- one run in the pty

    def start(self, case):
        self.report = os.path.join(self.work, "report.txt")
        if os.path.exists(self.report):
            os.remove(self.report)
        cwd = os.path.join(self.work, "elsewhere") if case.from_elsewhere else self.program_folder
        command = ["wine", self.launcher, winpath(self.report),
                   winpath(os.path.join(self.program_folder, "ocxfixer.exe"), self.drive_c)]
        if case.answer is None:
            command.append("NUL")  # end of input before any character
        script = os.path.join(self.work, "run.sh")
        with open(script, "w") as f:
            # The pane stays open after the run so the last screen can be read.
            f.write("cd %s\n%s\nexec sleep 86400\n" % (shlex.quote(cwd), " ".join(
                shlex.quote(c) for c in command)))
        self.tmux("new-session", "-d", "-s", "run", "-x", str(PANE_WIDTH), "-y", str(PANE_HEIGHT),
                  "bash " + shlex.quote(script))

    def capture(self):
        return self.tmux("capture-pane", "-p", "-e", "-t", "run").stdout

    def poll(self, what, done):
        """The pane once done(its text without colours) holds, asked for DEADLINE seconds."""
        end = time.monotonic() + DEADLINE
        while True:
            pane = self.capture()
            plain = re.sub(r"\x1b\[[0-9;]*m", "", pane)
            if done(plain):
                return pane
            if time.monotonic() > end:
                raise Failure("no %s after %d s; the pane shows:\n%s" % (what, DEADLINE, plain))
            time.sleep(0.2)

    def wait_for(self, what, *needles):
        return self.poll(what, lambda plain: all(n in plain for n in needles))

    def expect_screen(self, what, pane, screen):
        got, want = render(parse_capture(pane)), render(screen.pieces)
        if got != want:
            diff = ["%s %-60r %r" % ("  " if i < len(got) and i < len(want) and got[i] == want[i]
                                     else "!!", want[i] if i < len(want) else None,
                                     got[i] if i < len(got) else None)
                    for i in range(max(len(got), len(want)))]
            raise Failure("%s differs (expected | shown):\n%s" % (what, "\n".join(diff)))

    def send(self, *keys):
        self.tmux("send-keys", "-t", "run", *keys)

    def wait_report(self):
        self.poll("exit of the program", lambda _: os.path.exists(self.report) and
                  read(self.report).endswith(b"\n"))
        match = re.match(rb"exit=(\d+) attribute=(-?\d+)", read(self.report))
        return int(match.group(1)), int(match.group(2))

    def finish(self):
        self.tmux("kill-session", "-t", "run", check=False)
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=120)

    # -- the cases

    def run_case(self, case):
        self.reset(case)
        before = sorted(os.listdir(self.program_folder))
        self.start(case)
        try:
            if case.answer is not None:  # at end of input the run does not stop here
                pane = self.wait_for("prompt", "Respuesta:")
                self.expect_screen("introduction screen", pane, introduction())
                if case.answer:
                    self.send("-l", case.answer)
                self.send("Enter")
            if case.installs:
                self.run_installation(case)
            else:
                self.check_decline(case, before)
        finally:
            self.finish()

    def check_decline(self, case, before):
        status, attribute = self.wait_report()
        screen = introduction()
        if case.answer is not None:
            screen.write(case.answer + "\n")  # the console echoes the typed line
        screen.set(YELLOW)
        screen.write("bye bye")
        self.expect_screen("decline screen", self.capture(), screen)
        expect_equal("exit status", status, 0)
        expect_equal("text attribute left behind", attribute, ATTRIBUTE_WHITE)
        for folder, name, _, _ in self.targets():
            if find_ci(folder, name) or find_ci(folder, name + ".registered"):
                raise Failure("the decline path touched %s" % os.path.join(folder, name))
        expect_equal("program folder", sorted(os.listdir(self.program_folder)), before)

    def run_installation(self, case):
        ok = case.outcome
        screens = [("copy screen", "continuemos!",
                    copying(ok, case.controls, case.no_system_folder, case.blocked_system32)),
                   ("registration screen", "registrado", registering(ok)),
                   ("closing screen", "TERMINADO", closing(all(ok.values())))]
        for what, marker, screen in screens:
            pane = self.wait_for(what, marker, PAUSE)
            self.expect_screen(what, pane, screen)
            self.send("Enter")
        status, attribute = self.wait_report()  # a fourth pause would time out here
        expect_equal("exit status", status, 0 if all(ok.values()) else 1)
        expect_equal("text attribute left behind", attribute, ATTRIBUTE_WHITE)
        self.check_files(case)

    def check_files(self, case):
        if case.no_system_folder and os.path.exists(self.system):
            raise Failure("c:\\windows\\system appeared although it was missing")
        for folder, name, copy_step, reg_step in self.targets():
            if folder == self.system and case.no_system_folder:
                continue
            if folder == self.syswow64 and case.blocked_system32:
                if not os.path.isdir(os.path.join(folder, "msinet.ocx", "msinet.ocx")):
                    raise Failure("the folder standing in for msinet.ocx in %s changed" % folder)
                continue
            copied = find_ci(folder, name)
            if case.outcome[copy_step]:
                if copied is None:
                    raise Failure("%s was not copied into %s" % (name, folder))
                source = os.path.join(self.controls, case.controls[name])
                if read(copied) != read(source):
                    raise Failure("%s in %s is not the file beside the program" % (name, folder))
            elif copied is not None:
                raise Failure("%s appeared in %s although its copy failed" % (name, folder))
            registered = find_ci(folder, name + ".registered") is not None
            if registered != case.outcome[reg_step]:
                raise Failure("%s in %s: registered=%s, expected %s" %
                              (name, folder, registered, case.outcome[reg_step]))
        # A start from another folder must not have copied relative to it.
        for name in ("RICHTX32.OCX", "CSWSK32.OCX"):
            if find_ci(self.work, name):
                raise Failure("%s was copied relative to the start folder" % name)


def expect_equal(what, got, want):
    if got != want:
        raise Failure("%s: got %r, expected %r" % (what, got, want))


class Case:
    def __init__(self, name, answer, controls=None, failing=(), from_elsewhere=False,
                 installs=True, no_system_folder=False, awkward_folder=False,
                 blocked_system32=False):
        self.name = name
        self.answer = answer  # None: end of input
        # Name beside the program -> stand-in file built by the project.
        self.controls = {c: c for c in CONTROLS} if controls is None else controls
        self.outcome = {step: step not in failing for step in STEPS}
        self.from_elsewhere = from_elsewhere
        self.installs = installs
        self.no_system_folder = no_system_folder  # c:\windows\system moved away
        self.awkward_folder = awkward_folder  # the game under AWKWARD_GAME_FOLDER in c:\
        self.blocked_system32 = blocked_system32  # a folder where msinet.ocx goes in system32


def decline(name, answer):
    return Case(name, answer, installs=False)


CASES = [
    Case("answer s installs", "s"),
    Case("answer S installs", "S"),
    decline("empty answer declines", ""),
    decline("si declines", "si"),
    decline("n declines", "n"),
    decline("blank before s declines", " s"),
    decline("20-character answer declines", "s" * 20),
    decline("end of input declines", None),
    Case("missing controls fail every step", "s", controls={}, failing=STEPS),
    Case("refused registration fails only its own step", "s",
         controls={"msinet.ocx": "msinet.ocx", "RICHTX32.OCX": "refusing.ocx",
                   "CSWSK32.OCX": "CSWSK32.OCX"},
         failing=("reg_richtx",)),
    Case("start from another folder installs", "s", from_elsewhere=True),
    # One of the two msinet.ocx commands of each step fails: the step still
    # counts as done.
    Case("one msinet folder missing still installs", "s", no_system_folder=True),
    # Only some commands fail: each step reports its own. CSWSK32.OCX is
    # missing, so its copy (ultimo.ocx) and registration fail alone, and
    # msinet.ocx, copied into system but not into system32, counts as copied.
    Case("one control missing and system32 blocked fail only their own steps", "s",
         controls={"msinet.ocx": "msinet.ocx", "RICHTX32.OCX": "RICHTX32.OCX"},
         failing=("copy_cswsk", "reg_cswsk"), blocked_system32=True),
    Case("game folder with blanks, brackets and a non-ASCII letter installs", "s",
         awkward_folder=True, from_elsewhere=True),
]


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--exe", required=True)
    parser.add_argument("--launcher", required=True)
    parser.add_argument("--controls", required=True, help="folder of the stand-in controls")
    parser.add_argument("--only", help="run only the cases whose name contains this text")
    args = parser.parse_args()

    harness = Harness(args)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))  # ctest's timeout: clean up too
    failures = 0
    try:
        harness.make_prefix()
        for case in CASES:
            if args.only and args.only not in case.name:
                continue
            started = time.monotonic()
            try:
                harness.run_case(case)
                print("PASS  %s (%.0f s)" % (case.name, time.monotonic() - started), flush=True)
            except Failure as failure:
                failures += 1
                print("FAIL  %s\n%s" % (case.name, failure), flush=True)
    finally:
        harness.cleanup()
    print("%d case(s) failed" % failures if failures else "all cases passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

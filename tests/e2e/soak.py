#!/usr/bin/env python3
"""Soak: the real program for a long while under random keys, menu choices and window closes.

Two programs run side by side, each on a display of its own:
- a restarting one gets every action, those that end it included ("Be&enden", the launcher's
  "Beenden", the last close box), and is started again whenever it ends;
- a long-lived one gets every action but those; every --rest-every seconds all its windows
  but the launcher are closed and its resident memory is read, so that every reading is taken
  with the same one window open.

It reports crashes (an exit code other than 0), lines on stderr (Qt warnings) and how much the
long-lived program's memory at rest grew from its first reading to its last, and exits 1 when
there were crashes or warnings, or the growth passed --max-growth-kb.

  soak.py --program build/muranko [--minutes 10] [--seed N]
"""

import argparse
import collections
import random
import sys
import threading
import time

sys.dont_write_bytecode = True  # keeps the source tree clean of __pycache__
import e2e
from e2e import LAUNCHER_SIZE, Failure
from scenarios import DIALOGS, Launcher

# Steering keys three times as often as the others, so that games run long enough to end.
GAME_KEYS = ["Up", "Down", "Left", "Right", "w", "a", "s", "d"] * 3 + ["p", "Escape", "space", "k"]
LAUNCHER_KEYS = ["Up", "Down", "Left", "Right", "w", "a", "s", "d", "space", "x"]
DIALOG_KEYS = ["Return", "space", "Escape", "Tab", "h"]
# How much more often a game or a dialog gets an action than the launcher.
WEIGHTS = {"box": 1, "launcher": 1, "game": 5, "dialog": 2}
# "&?" menu entries, by their keys; the same in both games.
HELP_ENTRIES = [keys for keys, _, _ in DIALOGS["single"]]


class Monkey:
    """Random actions on one program; may_end allows the actions that end it."""

    def __init__(self, session, rng, may_end, seen):
        self.session, self.rng, self.may_end, self.seen = session, rng, may_end, seen
        self.launcher = Launcher(session)
        self.actions = self.hiccups = 0
        self.journal = []  # the last actions, for a report of a crash

    def kind(self, window):
        if window.box:
            return "box"
        if window.name == "Menu" and (window.width, window.height) == LAUNCHER_SIZE:
            return "launcher"
        if not window.framed:
            return "splash"
        return "game" if window.name == "Muranko" else "dialog"

    def step(self):
        windows = self.session.windows()
        boxes = [w for w in windows if w.box]  # a box is modal: nothing else takes input
        targets = boxes or [w for w in windows if self.kind(w) != "splash"]
        splash = any(self.kind(w) == "splash" for w in windows)
        if any(self.kind(w) == "game" for w in windows) and self.rng.random() < 0.05:
            time.sleep(self.rng.uniform(3, 10))  # let a game play on till a box comes
            return
        if not targets or self.rng.random() < (0.7 if splash else 0.25):
            time.sleep(self.rng.uniform(0.1, 3))  # let the timers play
            return
        window = self.rng.choices(targets, [WEIGHTS[self.kind(w)] for w in targets])[0]
        self.actions += 1
        self.seen[f"{self.kind(window)} {window.name!r}"] += 1
        self.journal = self.journal[-11:] + [f"{self.kind(window)} {window.name!r}:"]
        try:
            getattr(self, "on_" + self.kind(window))(window, len(targets))
        except Failure:
            self.hiccups += 1  # a window went or a box came in between
            if self.session.running():
                self.session._x("xdotool", "key", "Escape")  # shuts a menu left open

    def note(self, what):
        self.journal[-1] += f" {what}"

    def close(self, window):
        self.note("close box")
        self.session.click_close_box(window)

    def on_box(self, window, _):
        if self.rng.random() < 0.8:
            self.note("Return")
            self.session.keys(window, "Return")
        else:
            self.close(window)

    def on_launcher(self, window, count):
        roll = self.rng.random() * (0.6 if count == 1 else 1)  # alone, it rather opens a game
        if roll < 0.05 and self.may_end:
            self.close(window)
        elif roll < 0.4:
            entry = self.rng.choice(["single", "two"] + (["quit"] if self.may_end else []))
            self.note(f"choose {entry}")
            self.launcher.choose(entry)
        else:
            keys = []
            for _ in range(self.rng.randint(1, 6)):
                key = self.rng.choice(LAUNCHER_KEYS)
                if key == "space" and self.launcher.would_fire_at() == "quit" and not self.may_end:
                    continue
                self.launcher.press(key)
                keys.append(key)
            if keys:
                self.note(f"keys {keys} (sprite at {self.launcher.top})")
                self.session.keys(window, *keys, delay_ms=20)

    def on_game(self, window, count):
        roll = self.rng.random()
        if roll < 0.04 and (self.may_end or count > 1):
            self.close(window)
        elif roll < 0.25:
            entries = [("t",), ("b",), ("p",)]
            if self.may_end:
                # Down skips greyed entries, so only here: it may reach "Be&enden".
                entries += [("e",)] + [("Down",) * n + ("Return",) for n in range(3, 8)]
            entry = self.rng.choice(entries)
            self.note(f"menu s {entry}")
            self.session.menu(window, "s", *entry)
        elif roll < 0.35:
            entry = self.rng.choice(HELP_ENTRIES)
            self.note(f"menu ? {entry}")
            self.session.menu(window, "question", *entry)
        else:
            keys = [self.rng.choice(GAME_KEYS) for _ in range(self.rng.randint(1, 5))]
            self.note(f"keys {keys}")
            self.session.keys(window, *keys, delay_ms=self.rng.randint(10, 120))

    def on_dialog(self, window, count):
        if self.rng.random() < 0.3 and (self.may_end or count > 1):
            self.close(window)
        else:
            key = self.rng.choice(DIALOG_KEYS)
            self.note(f"key {key}")
            self.session.keys(window, key)

    def close_all_but_the_launcher(self, timeout=30):
        """Closes every other window (boxes answered first); splash screens end by themselves."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            others = [w for w in self.session.windows() if self.kind(w) != "launcher"]
            if not others:
                return True
            boxes = [w for w in others if w.box]
            closable = boxes or [w for w in others if w.framed]
            try:
                if not closable:
                    time.sleep(0.3)
                elif boxes:
                    self.session.keys(boxes[0], "Return")
                else:
                    self.close(closable[0])
                    self.session.wait_gone(closable[0], 2)
            except Failure:
                pass
        return False


class Run:
    """One program under a monkey for the given time, in a thread of its own."""

    def __init__(self, program, seconds, seed, long_lived, rest_every):
        self.program, self.seconds, self.seed = program, seconds, seed
        self.long_lived, self.rest_every = long_lived, rest_every
        self.starts = self.actions = self.hiccups = 0
        self.crashes = []  # (exit code, last stderr lines, last actions)
        self.warnings = []
        self.rss_at_rest = []  # (seconds since start, kB)
        self.error = None
        self.seen = collections.Counter()  # actions by the kind and name of their window

    def __call__(self):
        try:
            self.run()
        except Exception as error:  # reported, not raised: the other run goes on
            self.error = f"{type(error).__name__}: {error}"

    def run(self):
        rng = random.Random(self.seed)
        started = time.monotonic()
        deadline = started + self.seconds
        with e2e.Session(self.program) as session:
            while time.monotonic() < deadline:
                self.starts += 1
                monkey = Monkey(session, rng, not self.long_lived, self.seen)
                next_rest = time.monotonic() + self.rest_every
                while session.running() and time.monotonic() < deadline:
                    monkey.step()
                    if self.long_lived and time.monotonic() >= next_rest:
                        if monkey.close_all_but_the_launcher():
                            time.sleep(1)
                            self.rss_at_rest.append(
                                (round(time.monotonic() - started), session.rss_kb()))
                        next_rest = time.monotonic() + self.rest_every
                self.actions += monkey.actions
                self.hiccups += monkey.hiccups
                if session.running():
                    break
                code = session.wait_exit(1)
                if code != 0 or self.long_lived:
                    self.crashes.append((code, session.stderr_lines()[-5:], monkey.journal))
                if time.monotonic() < deadline:
                    session.start_program()
            self.warnings = session.stderr_lines()
            session.program.terminate()  # the end of the soak, not of the program


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--program", required=True, help="the muranko binary")
    parser.add_argument("--minutes", type=float, default=10)
    parser.add_argument("--seed", type=int, default=None)
    parser.add_argument("--rest-every", type=float, default=60,
                        help="seconds between memory readings of the long-lived program")
    parser.add_argument("--max-growth-kb", type=int, default=2048)
    args = parser.parse_args()
    seed = args.seed if args.seed is not None else random.randrange(1 << 30)
    seconds = args.minutes * 60
    rest_every = min(args.rest_every, seconds / 3)
    print(f"soak: {args.minutes:g} min, seed {seed}", flush=True)

    runs = [Run(args.program, seconds, seed, long_lived=False, rest_every=rest_every),
            Run(args.program, seconds, seed + 1, long_lived=True, rest_every=rest_every)]
    threads = [threading.Thread(target=run) for run in runs]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()

    restarting, long_lived = runs
    crashes = restarting.crashes + long_lived.crashes
    warnings = restarting.warnings + long_lived.warnings
    for name, run in (("restarting", restarting), ("long-lived", long_lived)):
        print(f"{name} program: {run.starts} starts, {run.actions} actions ({run.hiccups} "
              "overtaken by the program)" + (f"; harness error: {run.error}" if run.error else ""))
    seen = restarting.seen + long_lived.seen
    print("actions by window: " + ", ".join(f"{name} {n}" for name, n in sorted(seen.items())))
    print(f"crashes: {len(crashes)}")
    for code, tail, journal in crashes:
        print(f"  exit code {code}; stderr ends: {tail}; the last actions:\n    "
              + "\n    ".join(journal))
    print(f"lines on stderr: {len(warnings)}" + "".join(f"\n  {line}" for line in warnings[:20]))
    samples = long_lived.rss_at_rest
    print("memory of the long-lived program at rest (s: kB): "
          + ", ".join(f"{t}: {kb}" for t, kb in samples))
    growth = samples[-1][1] - samples[0][1] if len(samples) >= 2 else None
    print(f"memory growth: {'too few readings' if growth is None else f'{growth} kB'}")
    errors = [run.error for run in runs if run.error]
    bad = crashes or warnings or errors or growth is None or growth > args.max_growth_kb
    print("soak: " + ("FAILED" if bad else "passed"))
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""End-to-end scenarios: the real program in real windows under Xvfb and openbox.

  scenarios.py --program build/muranko NAME...   run the named scenarios (each in a new session)
  scenarios.py --list                            name them
"""

import argparse
import os
import signal
import sys
import time

sys.dont_write_bytecode = True  # keeps the source tree clean of __pycache__
import e2e
from e2e import GAME_SIZE, LAUNCHER_SIZE, SPLASH_SIZE, Failure, wait_until

SCENARIOS = {}


def scenario(function):
    SCENARIOS[function.__name__] = function
    return function


def check(condition, message):
    if not condition:
        raise Failure(message)


# --- the launcher ----------------------------------------------------------------------------

class Launcher:
    """The launcher's window, and where its fish sprite is: each key first moves the sprite one
    unit in its current direction (none before the first key), then Down, S, Right and A steer
    it down, Up, W, Left and D up. Space fires at the entry whose band holds the sprite's Top
    (fire while a shot flies and nothing is fired, but the entry is still named here)."""

    BANDS = {"single": (-27, -21), "two": (-15, -9), "quit": (24, 30)}
    DOWN, UP = {"Down", "s", "Right", "a"}, {"Up", "w", "Left", "d"}

    def __init__(self, session):
        self.session = session
        self.window = session.wait_window("Menu", size=LAUNCHER_SIZE, framed=True)
        self.top, self.direction = -25, 0

    def _next_top(self):
        direction = self.direction
        if self.top <= -50:
            direction = 1
        if self.top >= 50:
            direction = 2
        return self.top + {0: 0, 1: 1, 2: -1}[direction], direction

    def press(self, key):
        """Follows one key; returns the entry Space fires at (or None)."""
        entry = self.would_fire_at() if key == "space" else None
        self.top, self.direction = self._next_top()
        if key in self.DOWN:
            self.direction = 1
        elif key in self.UP:
            self.direction = 2
        return entry

    def would_fire_at(self):
        top = self._next_top()[0]
        return next((e for e, (low, high) in self.BANDS.items() if low <= top <= high), None)

    def choose(self, entry):
        """Steers the sprite into the entry's band and fires at it."""
        low, high = self.BANDS[entry]
        keys = []
        while self.would_fire_at() != entry:
            keys.append("Down" if self.top < low else "Up")
            self.press(keys[-1])
        self.press("space")
        self.session.keys(self.window, *keys, "space", delay_ms=15)


def splash_then_game(session, known=()):
    """Waits for the borderless splash, then for the game window it shows 3 s later."""
    splash = session.wait_window("Muranko", size=SPLASH_SIZE, framed=False)
    shown = time.monotonic()
    check("SKIP_TASKBAR" in splash.states, f"the splash {splash} is in the task bar")
    window = game_window(session, known)
    waited = time.monotonic() - shown
    check(2.5 < waited < 6, f"the game came {waited:.1f} s after the splash, not 3 s")
    check(not session.find("Muranko", size=SPLASH_SIZE), "the splash stays after the game came")
    return window


def open_game(session, launcher, entry):
    known = {w.id for w in session.windows()}
    launcher.choose(entry)
    return splash_then_game(session, known)


# --- the game windows ------------------------------------------------------------------------

def game_window(session, known=(), timeout=10.0):
    """A game form's window not among `known`: "Muranko", framed, the playfield under a menu
    bar."""
    def shown():
        return [w for w in session.find("Muranko", framed=True, exclude=known)
                if w.width == GAME_SIZE[0] and w.height > GAME_SIZE[1]]
    window = wait_until("the game window", shown, timeout)[0]
    check("SKIP_TASKBAR" not in window.states, f"the game {window} is left out of the task bar")
    return window


def playfield_box(window, left, top, width=8.51, height=10.27):
    """Pixel box in the window of a rectangle in game units (x and y from -60 to 60)."""
    menu_bar = window.height - GAME_SIZE[1]

    def px(value, size):
        return round((value + 60) * size / 120)
    return (px(left, GAME_SIZE[0]), menu_bar + px(top, GAME_SIZE[1]),
            px(left + width, GAME_SIZE[0]), menu_bar + px(top + height, GAME_SIZE[1]))


def smiley_yellow(r, g, b):
    return r > 200 and g > 170 and b < 90


def yellow_sprites(session, window, top):
    """Lefts, in game units, of the yellow sprites (balls, pufferfish) across the row at
    `top`."""
    frame = session.grab(window)
    x0, y0, x1, y1 = playfield_box(window, -60, top, 120)
    columns = [x for x in range(x0, x1) if frame.count(smiley_yellow, (x, y0, x + 1, y1)) >= 3]
    runs = []
    for x in columns:
        if runs and x - runs[-1][1] <= 3:
            runs[-1][1] = x
        else:
            runs.append([x, x])
    return [(a + b) / 2 * 120 / GAME_SIZE[0] - 60 - 8.51 / 2 for a, b in runs if b - a >= 10]


class Ball:
    """Follows a ball across its row from frame to frame, as the yellow sprite nearest to where
    it was last seen."""

    def __init__(self, session, window, left, top):
        self.session, self.window, self.left, self.top = session, window, left, top
        check(self.seen_at() is not None and abs(self.left - left) < 1,
              f"no ball at ({left}, {top})")

    def seen_at(self):
        sprites = yellow_sprites(self.session, self.window, self.top)
        if not sprites:
            return None
        self.left = min(sprites, key=lambda left: abs(left - self.left))
        return self.left

    def wait(self, what, reached):
        wait_until(f"the ball at ({self.left:.0f}, {self.top}) to move {what}",
                   lambda: reached(self.seen_at() or self.left), 5, 0)


def start_game(session, window):
    session.menu(window, "s", "t")  # "&Spiel" > "S&tart"
    session.wait_moving(window)


def pause(session, window):
    session.keys(window, "p")
    wait_until("the game to pause", lambda: session.still(window, 0.7), 5, 0)


def resume(session, window):
    session.keys(window, "p")
    session.wait_moving(window)


def quit_from_menu(session, window):
    started = time.monotonic()
    session.menu(window, "s", "e")  # "&Spiel" > "Be&enden"
    expect_exit(session, "Be&enden")
    check(time.monotonic() - started < 2, "the program took too long to end")


def expect_exit(session, cause):
    code = session.wait_exit(3)
    check(code == 0, f"the program ended with {code} after {cause}")


# The "&?" menu's entries: the keys that choose each, its window's caption and client size.
DIALOGS = {
    "single": [(("h",), "Hilfe", (269, 210)),
               (("Down", "Return"), "Tastaturbelegung", (197, 215)),
               (("udiaeresis",), "Info", (257, 204))],
    "two": [(("h",), "Hilfe", (269, 210)),
            (("Down", "Return"), "Tastaturbelegung", (186, 296)),
            (("udiaeresis",), "Info", (245, 195))],
}


def open_dialog(session, game, entry_keys, caption, size):
    known = {w.id for w in session.windows()}
    session.menu(game, "question", *entry_keys)
    dialog = session.wait_window(caption, size=size, framed=True, exclude=known)
    check("SKIP_TASKBAR" not in dialog.states, f"{dialog} is left out of the task bar")
    return dialog


# --- scenarios ------------------------------------------------------------------------------

@scenario
def single_player_game(session):
    """Launcher, splash, game: start, steer, pause, abort, and "Be&enden" ends the program."""
    launcher = Launcher(session)
    check("SKIP_TASKBAR" in launcher.window.states, "the launcher is in the task bar")
    window = open_game(session, launcher, "single")
    start_game(session, window)

    # The ball waits at the centre until a key steers it.
    pause(session, window)
    ball = Ball(session, window, 0, 0)
    session.keys(window, "Right")
    resume(session, window)
    ball.wait("right", lambda left: left > 5)
    session.keys(window, "Left")
    ball.wait("left", lambda left: left < 0)

    # Esc aborts: nothing moves any more, and P does not set it going again.
    session.keys(window, "Escape")
    wait_until("the game to stop", lambda: session.still(window, 0.7), 5, 0)
    session.keys(window, "p")
    check(session.still(window, 0.7), "P after Esc set the game going again")
    quit_from_menu(session, window)


@scenario
def two_player_game(session):
    """Launcher, splash, two-player game: both players steer; its close box leaves the
    launcher, whose "Beenden" ends the program."""
    launcher = Launcher(session)
    window = open_game(session, launcher, "two")
    start_game(session, window)
    # Player 1 (the arrow keys) starts at (25, 25), player 2 (W, A, S, D) at (-25, 25).
    players = [Ball(session, window, 25, 25), Ball(session, window, -25, 25)]
    session.keys(window, "Right", "a")
    players[0].wait("right", lambda left: left > 30)
    players[1].wait("left", lambda left: left < -30)
    pause(session, window)

    session.click_close_box(window)
    session.wait_gone(window)
    check([w.name for w in session.windows()] == ["Menu"], f"left: {session.windows()}")
    launcher.choose("quit")
    expect_exit(session, "the launcher's Beenden")


def dialogs_of(game):
    def run(session):
        window = open_game(session, Launcher(session), game)
        # Before Start the playfield is live but has no fish in play, so no message box can
        # come in between: the steered ball runs to and fro behind the dialogs.
        session.keys(window, "Up")
        session.wait_moving(window)
        for entry_keys, caption, size in DIALOGS[game]:
            dialog = open_dialog(session, window, entry_keys, caption, size)
            # The game goes on behind the dialog (which hides the ball for up to 3 s of a
            # crossing).
            session.wait_moving(window, timeout=8)
            session.keys(dialog, "Return")
            session.wait_gone(dialog)
            session.wait_moving(window)
        pause(session, window)  # the keys reach the game again
        quit_from_menu(session, window)
    run.__doc__ = f"""Each dialog of the {game}-player game's "&?" menu opens over the running
    game, and Enter closes it."""
    return run


SCENARIOS["single_player_dialogs"] = dialogs_of("single")
SCENARIOS["two_player_dialogs"] = dialogs_of("two")


def wait_restored(session, window):
    """Waits until the minimised window is shown again, in its normal state, and active."""
    wait_until(f"{window} to come back", lambda: window.id in {w.id for w in session.windows()})
    wait_until(f"{window} to be active", lambda: session.active() == window.id, 5)
    states = session.window_info(window.id).states
    check("HIDDEN" not in states, f"{window} is still minimised: {states}")


@scenario
def close_every_window(session):
    """The launcher, both games and their dialogs: a minimised game comes back when its entry
    is fired at again, a minimised dialog when it is chosen again; one dialog is destroyed from
    outside, the others closed with their close boxes, and the program ends after the last."""
    launcher = Launcher(session)
    for game in ("single", "two"):
        window = open_game(session, launcher, game)
        dialogs = [open_dialog(session, window, *entry) for entry in DIALOGS[game]]
    session.minimise(window)
    launcher.choose("two")
    session.wait_window("Muranko", size=SPLASH_SIZE, framed=False)
    wait_restored(session, window)
    session.minimise(dialogs[0])
    session.menu(window, "question", *DIALOGS["two"][0][0])
    wait_restored(session, dialogs[0])
    session.destroy(dialogs[1])
    session.wait_gone(dialogs[1])

    windows = session.windows()
    check(len(windows) == 8, f"windows open: {windows}")
    for i, window in enumerate(windows):
        session.click_close_box(window)
        if i + 1 < len(windows):
            session.wait_gone(window)
            check(len(session.windows()) == len(windows) - i - 1,
                  f"closing {window} closed others too: {session.windows()}")
    expect_exit(session, "the last close box")


SCENARIO_TIMEOUT_S = 50


def run(program, name):
    def timed_out(*_):
        raise Failure(f"the scenario took longer than {SCENARIO_TIMEOUT_S} s")

    signal.signal(signal.SIGALRM, timed_out)
    signal.signal(signal.SIGTERM, timed_out)  # a test timeout: stop the display and the program
    signal.alarm(SCENARIO_TIMEOUT_S)
    started = time.monotonic()
    try:
        with e2e.Session(program) as session:
            try:
                SCENARIOS[name](session)
                if session.running():
                    raise Failure("the program still runs at the end of the scenario")
                warnings = session.stderr_lines()
                check(not warnings, "the program wrote to stderr:\n  " + "\n  ".join(warnings))
            except Failure:
                shot = os.path.abspath(f"e2e-{name}-failed.png")
                session.screenshot(shot)
                print("".join(f"  program stderr: {line}\n" for line in session.stderr_lines())
                      + f"  windows: {session.windows()}\n  screen: {shot}", file=sys.stderr)
                raise
    finally:
        signal.alarm(0)
    print(f"{name}: passed in {time.monotonic() - started:.1f} s")


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--program", help="the muranko binary")
    parser.add_argument("--list", action="store_true", help="print the scenarios' names")
    parser.add_argument("names", nargs="*")
    args = parser.parse_args()
    if args.list:
        return print("\n".join(SCENARIOS))
    unknown = [name for name in args.names if name not in SCENARIOS]
    if not args.program or not args.names or unknown:
        parser.error(f"give --program and one or more of --list (unknown: {unknown})")
    failed = 0
    for name in args.names:
        try:
            run(args.program, name)
        except Failure as failure:
            print(f"{name}: FAILED: {failure}", file=sys.stderr)
            failed += 1
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())

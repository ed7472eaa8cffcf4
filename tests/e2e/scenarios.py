#!/usr/bin/env python3
"""End-to-end scenarios: the real program in real windows under Xvfb and openbox.

  scenarios.py --program build/muranko NAME...   run the named scenarios (each in a new session)
  scenarios.py --list                            name them
"""

import argparse
import signal
import sys
import time

import e2e
from e2e import GAME_SIZE, Failure, wait_until

SCENARIOS = {}


def scenario(function):
    SCENARIOS[function.__name__] = function
    return function


def check(condition, message):
    if not condition:
        raise Failure(message)


# --- the single-player game window ----------------------------------------------------------

def game_window(session, timeout=10.0):
    """The game form's window: "Muranko" with a title bar, the playfield under a menu bar."""
    def shown():
        return [w for w in session.find("Muranko", framed=True)
                if w.width == GAME_SIZE[0] and w.height > GAME_SIZE[1]]
    return wait_until("the game window", shown, timeout)[0]


def playfield_box(window, left, top, width=8.51, height=10.27):
    """Pixel box in the window of a rectangle in game units (x and y from -60 to 60)."""
    menu_bar = window.height - GAME_SIZE[1]

    def px(value, size):
        return round((value + 60) * size / 120)
    return (px(left, GAME_SIZE[0]), menu_bar + px(top, GAME_SIZE[1]),
            px(left + width, GAME_SIZE[0]), menu_bar + px(top + height, GAME_SIZE[1]))


def smiley_yellow(r, g, b):
    return r > 200 and g > 170 and b < 90


def yellow_sprites(session, window, top=0):
    """Lefts, in game units, of the yellow sprites (the ball, a pufferfish) across the row at
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
    """Follows the ball across its row from frame to frame, as the sprite nearest to where it
    was last seen."""

    def __init__(self, session, window, left):
        self.session, self.window, self.left = session, window, left

    def seen_at(self):
        sprites = yellow_sprites(self.session, self.window)
        if sprites:
            self.left = min(sprites, key=lambda left: abs(left - self.left))
        return self.left

    def wait(self, what, reached):
        wait_until(f"the ball to move {what}", lambda: reached(self.seen_at()), 5, 0)


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
    code = session.wait_exit(3)
    check(code == 0, f"the program ended with {code}")
    return time.monotonic() - started


# --- scenarios ------------------------------------------------------------------------------

@scenario
def single_player_game(session):
    """Start from the menu, steer, pause, resume, abort, and "Be&enden" ends the program."""
    window = game_window(session)
    check(window.framed and "SKIP_TASKBAR" not in window.states, f"{window} is no game window")
    start_game(session, window)

    # The ball waits at the centre until a key steers it.
    pause(session, window)
    check(any(abs(left) < 1 for left in yellow_sprites(session, window)),
          "the ball is not at the centre after Start")
    ball = Ball(session, window, 0)
    session.keys(window, "Right")
    resume(session, window)
    ball.wait("right", lambda left: left > 5)
    session.keys(window, "Left")
    ball.wait("left", lambda left: left < 0)

    # Esc aborts: the ball goes, nothing moves, and P no longer resumes.
    session.keys(window, "Escape")
    wait_until("the game to stop", lambda: session.still(window, 0.7), 5, 0)
    session.keys(window, "p")
    check(session.still(window, 0.7), "P after Esc set the game going again")
    check(quit_from_menu(session, window) < 2, "the program took too long to end")


# The "&?" menu's entries: the keys that choose each, its window's caption and client size.
SINGLE_PLAYER_DIALOGS = [
    (("h",), "Hilfe", (269, 210)),
    (("Down", "Return"), "Tastaturbelegung", (197, 215)),
    (("udiaeresis",), "Info", (257, 204)),
]


def open_dialog(session, game, entry_keys, caption, size):
    session.menu(game, "question", *entry_keys)
    dialog = session.wait_window(caption, size=size, framed=True)
    check("SKIP_TASKBAR" not in dialog.states, f"{dialog} is left out of the task bar")
    return dialog


@scenario
def single_player_dialogs(session):
    """Each dialog of "&?" opens over the running game, and Enter closes it."""
    game = game_window(session)
    start_game(session, game)
    for entry_keys, caption, size in SINGLE_PLAYER_DIALOGS:
        dialog = open_dialog(session, game, entry_keys, caption, size)
        session.wait_moving(game)  # the game goes on behind the dialog
        session.keys(dialog, "Return")
        session.wait_gone(dialog)
        check(session.find("Muranko", framed=True), "the game window went with the dialog")
        session.wait_moving(game)
    pause(session, game)  # the keys reach the game again
    check(quit_from_menu(session, game) < 2, "the program took too long to end")


@scenario
def close_every_window(session):
    """Closing the windows one by one with their close boxes ends the program after the last."""
    game = game_window(session)
    for entry_keys, caption, size in SINGLE_PLAYER_DIALOGS:
        open_dialog(session, game, entry_keys, caption, size)
    windows = session.windows()
    check(len(windows) == 1 + len(SINGLE_PLAYER_DIALOGS), f"windows open: {windows}")
    for i, window in enumerate(windows):
        session.click_close_box(window)
        if i + 1 < len(windows):
            session.wait_gone(window)
            check(len(session.windows()) == len(windows) - i - 1,
                  f"closing {window} closed others too: {session.windows()}")
    code = session.wait_exit(3)
    check(code == 0, f"the program ended with {code}")


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
                for line in session.stderr_lines():
                    print(f"  program stderr: {line}", file=sys.stderr)
                print(f"  windows: {session.windows()}", file=sys.stderr)
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
        print("\n".join(SCENARIOS))
        return 0
    if not args.program or not args.names:
        parser.error("give --program and at least one scenario")
    for name in args.names:
        if name not in SCENARIOS:
            parser.error(f"no scenario {name!r}")
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

#!/usr/bin/env python3
"""The DeepZoom viewer page in a real browser. tesscli composes generated tiles into a pyramid and,
from the same tiles, into one plain image; a loopback HTTP server serves the pyramid; headless
Chromium, driven over its DevTools pipe, opens the page at a known place at 1:1 and waits until the
page reports every tile of the view drawn. The screenshot must then equal the plain image there.

Usage: viewer_page_browser.py TESSCLI   (exit 77, a skip, only when chromium is not installed)"""
import base64
import fcntl
import functools
import http.server
import json
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

TILE_W, TILE_H, COLS, ROWS = 600, 400, 4, 4
VIEW_W, VIEW_H = 640, 480
# Where four source tiles meet; the pyramid's own tiles (254 wide, overlap 1) are cut elsewhere.
PLACE_X, PLACE_Y = 1200, 800
# PNG tiles are lossless; what is left is the browser's drawing, which may blend neighbours a little
# where a tile edge lands between screen pixels.
TOLERANCE = 2
LOAD_SECONDS = 60


def write_tile(path, col, row):
    """Every pixel differs from its neighbours and from any other place within the view: a shift
    of one pixel, a wrong scale or a misplaced tile changes most of the screenshot."""
    rows = []
    for y in range(row * TILE_H, (row + 1) * TILE_H):
        line = bytearray()
        for x in range(col * TILE_W, (col + 1) * TILE_W):
            line += bytes(((x * 5) % 256, (y * 3) % 256, (x // 50 * 37 + y // 50 * 101) % 256))
        rows.append(bytes(line))
    with open(path, "wb") as out:
        out.write(b"P6\n%d %d\n255\n" % (TILE_W, TILE_H) + b"".join(rows))


def read_ppm(path):
    with open(path, "rb") as ppm:
        data = ppm.read()
    magic, width, height, maxval, pixels = data.split(maxsplit=4)
    assert magic == b"P6" and maxval == b"255", path
    return int(width), int(height), pixels


class Chromium:
    """Headless Chromium and its DevTools protocol over --remote-debugging-pipe: JSON messages
    ended by NUL, written to the browser's fd 3 and read from its fd 4."""

    def __init__(self, executable, profile):
        to_browser, self.writer = os.pipe()
        self.reader, from_browser = os.pipe()
        def place_pipes():
            # Both first moved above 10, so that placing one cannot overwrite the other.
            high = [fcntl.fcntl(fd, fcntl.F_DUPFD, 10) for fd in (to_browser, from_browser)]
            for target, fd in zip((3, 4), high):
                os.dup2(fd, target)
                os.close(fd)

        # Root in CI: Chromium's sandbox refuses to run as root. Nothing but the loopback server is
        # to be reached: no updates, sync or other background traffic. The pipes' own fds close on exec.
        self.process = subprocess.Popen(
            [executable, "--headless", "--no-sandbox", "--remote-debugging-pipe", "--user-data-dir=" + profile,
             "--disable-background-networking", "--disable-component-update", "--disable-sync", "--no-first-run",
             "--disable-default-apps", "--disable-gpu", "--force-color-profile=srgb", "--force-device-scale-factor=1",
             "--hide-scrollbars", "about:blank"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=place_pipes, close_fds=False)
        os.close(to_browser)
        os.close(from_browser)
        self.pending = b""
        self.next_id = 0
        self.session = None

    def call(self, method, **params):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params}
        if self.session:
            message["sessionId"] = self.session
        os.write(self.writer, json.dumps(message).encode() + b"\0")
        while True:
            while b"\0" not in self.pending:
                chunk = os.read(self.reader, 1 << 20)
                if not chunk:
                    raise RuntimeError("chromium closed its DevTools pipe")
                self.pending += chunk
            text, self.pending = self.pending.split(b"\0", 1)
            reply = json.loads(text)
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise RuntimeError("%s: %s" % (method, reply["error"]))
                return reply["result"]

    def open_page(self, url):
        target = self.call("Target.createTarget", url="about:blank")["targetId"]
        self.session = self.call("Target.attachToTarget", targetId=target, flatten=True)["sessionId"]
        self.call("Emulation.setDeviceMetricsOverride", width=VIEW_W, height=VIEW_H, deviceScaleFactor=1,
                  mobile=False)
        self.call("Page.navigate", url=url)

    def evaluate(self, expression):
        return self.call("Runtime.evaluate", expression=expression, returnByValue=True)["result"].get("value")

    def close(self):
        self.process.kill()
        self.process.wait()
        os.close(self.writer)
        os.close(self.reader)


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def run_tesscli(tesscli, *args):
    result = subprocess.run([tesscli, *args], capture_output=True, text=True, timeout=120)
    if result.returncode != 0:
        sys.exit("tesscli %s failed (%d):\n%s" % (" ".join(args), result.returncode, result.stdout))


def main():
    tesscli = os.path.abspath(sys.argv[1])
    chromium = shutil.which("chromium")
    if not chromium:
        print("SKIP: chromium is not installed (scripts/setup.sh installs it); the viewer page is untested")
        return 77
    with tempfile.TemporaryDirectory() as work:
        grid = []
        for row in range(ROWS):
            grid.append("-row")
            for col in range(COLS):
                grid.append(os.path.join(work, "tile_%d_%d.ppm" % (row, col)))
                write_tile(grid[-1], col, row)
        site = os.path.join(work, "site")
        run_tesscli(tesscli, *grid, "-out", os.path.join(site, "mosaic.dzi"), "-extradata", "dzi", "format", "png")
        run_tesscli(tesscli, *grid, "-out", os.path.join(work, "plain.ppm"))

        # The browser starts before the server's thread: a child is forked safely only without threads.
        browser = Chromium(chromium, os.path.join(work, "profile"))
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(QuietHandler, directory=site))
        threading.Thread(target=server.serve_forever, daemon=True).start()
        try:
            started = time.monotonic()
            browser.open_page("http://127.0.0.1:%d/mosaic.html#x=%d&y=%d&zoom=1" %
                              (server.server_address[1], PLACE_X, PLACE_Y))
            while browser.evaluate("document.documentElement.dataset.tiles") != "loaded":
                if time.monotonic() - started > LOAD_SECONDS:
                    sys.exit("the page did not report its tiles loaded within %d s" % LOAD_SECONDS)
                time.sleep(0.1)
            shot = base64.b64decode(browser.call("Page.captureScreenshot", format="png")["data"])
        finally:
            browser.close()
            server.shutdown()
        with open(os.path.join(work, "shot.png"), "wb") as png:
            png.write(shot)
        run_tesscli(tesscli, "-convert", os.path.join(work, "shot.png"), os.path.join(work, "shot.ppm"))

        width, _, plain = read_ppm(os.path.join(work, "plain.ppm"))
        shot_width, shot_height, screen = read_ppm(os.path.join(work, "shot.ppm"))
        if (shot_width, shot_height) != (VIEW_W, VIEW_H):
            sys.exit("screenshot is %dx%d, not %dx%d" % (shot_width, shot_height, VIEW_W, VIEW_H))
        left, top = PLACE_X - VIEW_W // 2, PLACE_Y - VIEW_H // 2
        worst, differing = (0, (0, 0)), 0
        for y in range(VIEW_H):
            for x in range(VIEW_W):
                s = (y * VIEW_W + x) * 3
                p = ((top + y) * width + left + x) * 3
                diff = max(abs(a - b) for a, b in zip(screen[s:s + 3], plain[p:p + 3]))
                differing += diff > TOLERANCE
                worst = max(worst, (diff, (x, y)))
        print("viewer page: %.1f s to the loaded view; largest difference %d at screen %s; %d of %d pixels "
              "differ by more than %d" % (time.monotonic() - started, worst[0], worst[1], differing,
                                          VIEW_W * VIEW_H, TOLERANCE))
        return 1 if differing else 0


if __name__ == "__main__":
    sys.exit(main())

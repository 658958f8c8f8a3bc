#!/usr/bin/env python3
"""The DeepZoom viewer page in a real browser: tesscli composes generated tiles into a pyramid of PNG
tiles and into one plain image; a loopback HTTP server serves the pyramid; headless Chromium, driven
over its DevTools pipe, opens the page at a known place at 1:1 and, once the page reports every tile
of the view drawn, its screenshot must equal the plain image there, pixel for pixel.
Usage: viewer_page_browser.py TESSCLI   (exit 77, a skip, only when chromium is not installed)"""
import base64, fcntl, functools, http.server, json, os, shutil, subprocess, sys, tempfile, threading, time

TILE_W, TILE_H, COLS, ROWS = 600, 400, 4, 4
VIEW_W, VIEW_H = 640, 480
PLACE_X, PLACE_Y = 1200, 800  # where four source tiles meet; the pyramid's 254-pixel tiles are cut elsewhere


def write_tile(path, col, row):
    # Every pixel differs from its neighbours and from any other place in the view, so a shift by
    # one pixel, a wrong scale or a misplaced tile changes most of the screenshot.
    pixels = bytearray()
    for y in range(row * TILE_H, (row + 1) * TILE_H):
        for x in range(col * TILE_W, (col + 1) * TILE_W):
            pixels += bytes((x * 5 % 256, y * 3 % 256, (x // 50 * 37 + y // 50 * 101) % 256))
    with open(path, "wb") as out:
        out.write(b"P6\n%d %d\n255\n" % (TILE_W, TILE_H) + pixels)


def read_ppm(path):
    with open(path, "rb") as ppm:
        magic, width, height, _, pixels = ppm.read().split(maxsplit=4)
    return int(width), int(height), pixels


class Chromium:
    """The DevTools protocol over --remote-debugging-pipe: JSON messages ended by NUL, written to the
    browser's fd 3 and read from its fd 4."""

    def __init__(self, executable, profile):
        to_browser, self.writer = os.pipe()
        self.reader, from_browser = os.pipe()

        def place_pipes():  # both moved above 10 first, so that placing one cannot overwrite the other
            high = [fcntl.fcntl(fd, fcntl.F_DUPFD, 10) for fd in (to_browser, from_browser)]
            for target, fd in zip((3, 4), high):
                os.dup2(fd, target)
                os.close(fd)

        # Root in CI, where the sandbox refuses to run; no traffic but to the loopback server.
        self.process = subprocess.Popen(
            [executable, "--headless", "--no-sandbox", "--remote-debugging-pipe", "--user-data-dir=" + profile,
             "--disable-background-networking", "--disable-component-update", "--disable-sync", "--no-first-run",
             "--disable-gpu", "--force-color-profile=srgb", "--hide-scrollbars", "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, preexec_fn=place_pipes, close_fds=False)
        os.close(to_browser)
        os.close(from_browser)
        self.pending, self.last_id, self.session = b"", 0, None

    def call(self, method, **params):
        self.last_id += 1
        message = {"id": self.last_id, "method": method, "params": params, "sessionId": self.session}
        os.write(self.writer, json.dumps({k: v for k, v in message.items() if v}).encode() + b"\0")
        while True:
            while b"\0" not in self.pending:
                chunk = os.read(self.reader, 1 << 20)
                if not chunk:
                    raise RuntimeError("chromium closed its DevTools pipe")
                self.pending += chunk
            text, self.pending = self.pending.split(b"\0", 1)
            reply = json.loads(text)
            if reply.get("id") == self.last_id:
                if "error" in reply:
                    raise RuntimeError("%s: %s" % (method, reply["error"]))
                return reply["result"]

    def open_page(self, url):
        target = self.call("Target.createTarget", url="about:blank")["targetId"]
        self.session = self.call("Target.attachToTarget", targetId=target, flatten=True)["sessionId"]
        self.call("Emulation.setDeviceMetricsOverride", width=VIEW_W, height=VIEW_H, deviceScaleFactor=1, mobile=False)
        self.call("Page.navigate", url=url)

    def close(self):
        self.process.kill()
        self.process.wait()
        os.close(self.writer)
        os.close(self.reader)


def run_tesscli(*args):
    result = subprocess.run([os.path.abspath(sys.argv[1]), *args], capture_output=True, text=True, timeout=120)
    if result.returncode != 0:
        sys.exit("tesscli %s failed (%d):\n%s" % (" ".join(args), result.returncode, result.stdout))


def main():
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
        run_tesscli(*grid, "-out", os.path.join(site, "mosaic.dzi"), "-extradata", "dzi", "format", "png")
        run_tesscli(*grid, "-out", os.path.join(work, "plain.ppm"))

        # The browser is started before the server's thread: a child is forked safely only without threads.
        browser = Chromium(chromium, os.path.join(work, "profile"))
        handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=site)
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        threading.Thread(target=server.serve_forever, daemon=True).start()
        try:
            started = time.monotonic()
            port = server.server_address[1]
            browser.open_page("http://127.0.0.1:%d/mosaic.html#x=%d&y=%d&zoom=1" % (port, PLACE_X, PLACE_Y))
            state = {"expression": "document.documentElement.dataset.tiles", "returnByValue": True}
            while browser.call("Runtime.evaluate", **state)["result"].get("value") != "loaded":
                if time.monotonic() - started > 60:
                    sys.exit("the page did not report its tiles loaded within 60 s")
                time.sleep(0.1)
            shot = base64.b64decode(browser.call("Page.captureScreenshot", format="png")["data"])
        finally:
            browser.close()
            server.shutdown()
        with open(os.path.join(work, "shot.png"), "wb") as png:
            png.write(shot)
        run_tesscli("-convert", os.path.join(work, "shot.png"), os.path.join(work, "shot.ppm"))

        width, _, plain = read_ppm(os.path.join(work, "plain.ppm"))
        shot_w, shot_h, screen = read_ppm(os.path.join(work, "shot.ppm"))
        if (shot_w, shot_h) != (VIEW_W, VIEW_H):
            sys.exit("the screenshot is %dx%d, not %dx%d" % (shot_w, shot_h, VIEW_W, VIEW_H))
        left, top, line = PLACE_X - VIEW_W // 2, PLACE_Y - VIEW_H // 2, VIEW_W * 3
        differing = [y for y in range(VIEW_H) if screen[y * line:(y + 1) * line] !=
                     plain[((top + y) * width + left) * 3:][:line]]
        print("viewer page: %.1f s to the loaded view; %d of %d screen rows differ from the composed image%s"
              % (time.monotonic() - started, len(differing), VIEW_H, " (first: %d)" % differing[0] if differing else ""))
        return 1 if differing else 0


if __name__ == "__main__":
    sys.exit(main())

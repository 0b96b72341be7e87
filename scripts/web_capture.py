#!/usr/bin/env python3
"""Plays a web build of a show in headless Chromium and fetches what it wrote.

Serves OUT (a folder made by scripts/make-web.sh) on a local port, opens its page in
headless Chromium with software WebGL, and talks to the browser over the DevTools
protocol on a pipe (no network port, no extra modules). The page plays the show on the
player's capture clock and says when the player has exited; the driver waits for that,
never for a time budget, then copies the frames and audio.wav out of the player's file
system into FRAMES, named as a native `--capture --frames png` run names them.

  web_capture.py OUT FRAMES [--fps N] [--seconds S] [--start S] [--timeout T] [--play S]

--play S plays the show live (no capture) for S seconds instead and reports the frame
rate and load time only. With --ask yes|no the page asks its start-up question, which
the driver answers with a click, and after S seconds it presses Escape and waits for
the page's end screen (its text goes to the summary). A summary (exit status, load time, frames) goes to
FRAMES/web-run.json. The exit status is the player's.
"""
import argparse
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
import urllib.parse


class DevTools:
    """The DevTools protocol over Chromium's --remote-debugging-pipe (fds 3 and 4)."""

    def __init__(self, to_browser, from_browser):
        self.to_browser = to_browser
        self.from_browser = from_browser
        self.next_id = 0
        self.buffer = b""
        self.console = []

    def _read_message(self):
        while b"\0" not in self.buffer:
            chunk = os.read(self.from_browser, 1 << 20)
            if not chunk:
                raise RuntimeError("the browser closed the DevTools pipe")
            self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, session=None, **params):
        self.next_id += 1
        request = {"id": self.next_id, "method": method, "params": params}
        if session:
            request["sessionId"] = session
        os.write(self.to_browser, json.dumps(request).encode() + b"\0")
        while True:
            message = self._read_message()
            if message.get("method") == "Runtime.consoleAPICalled":
                args = message["params"].get("args", [])
                self.console.append(" ".join(str(a.get("value", a.get("description", ""))) for a in args))
            elif message.get("method") == "Log.entryAdded":
                entry = message["params"]["entry"]
                self.console.append(f"{entry.get('source', '')}: {entry.get('text', '')}")
            elif message.get("method") == "Runtime.exceptionThrown":
                details = message["params"]["exceptionDetails"]
                self.console.append("exception: " + details.get("exception", {}).get("description", details.get("text", "")))
            if message.get("id") == self.next_id:
                if "error" in message:
                    raise RuntimeError(f"{method}: {message['error']}")
                return message.get("result", {})

    def evaluate(self, session, expression):
        result = self.call("Runtime.evaluate", session, expression=expression,
                           returnByValue=True, awaitPromise=True)
        if "exceptionDetails" in result:
            raise RuntimeError(f"page error in {expression[:60]}: {result['exceptionDetails']}")
        return result["result"].get("value")


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".js": "text/javascript"}

    def log_message(self, *args):
        pass


def serve(folder):
    handler = functools.partial(QuietHandler, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def start_browser(profile):
    to_browser_read, to_browser_write = os.pipe()
    from_browser_read, from_browser_write = os.pipe()
    chromium = shutil.which("chromium") or shutil.which("chromium-browser")
    if not chromium:
        raise SystemExit("web-capture: chromium is not installed (apt-get install chromium)")
    args = [chromium, "--headless", "--no-sandbox", "--enable-unsafe-swiftshader",
            "--use-angle=swiftshader", "--ignore-gpu-blocklist", "--enable-webgl",
            "--autoplay-policy=no-user-gesture-required", "--no-first-run",
            "--disable-background-timer-throttling", "--disable-renderer-backgrounding",
            "--disable-backgrounding-occluded-windows", "--mute-audio",
            "--window-size=1024,768", f"--user-data-dir={profile}",
            "--remote-debugging-pipe", "about:blank"]

    # The browser reads commands on fd 3 and writes answers on fd 4; the pipe ends are
    # moved above those numbers first so that placing one cannot overwrite the other.
    high_read = fcntl.fcntl(to_browser_read, fcntl.F_DUPFD, 10)
    high_write = fcntl.fcntl(from_browser_write, fcntl.F_DUPFD, 10)
    os.close(to_browser_read)
    os.close(from_browser_write)

    def fds():
        os.dup2(high_read, 3)
        os.dup2(high_write, 4)

    browser = subprocess.Popen(args, pass_fds=(3, 4), preexec_fn=fds,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    to_browser_read, from_browser_write = high_read, high_write
    os.close(to_browser_read)
    os.close(from_browser_write)
    return browser, DevTools(to_browser_write, from_browser_read)


def wait_for(devtools, session, expression, timeout, what):
    deadline = time.monotonic() + timeout
    while not devtools.evaluate(session, expression):
        if time.monotonic() > deadline:
            raise RuntimeError(f"the page did not {what} within {timeout:.0f} s")
        time.sleep(0.2)


def answer_question(devtools, session, answer, timeout):
    """Clicks Yes or No on the page's start-up question, as a user does."""
    wait_for(devtools, session, "(document.getElementById('question') || {hidden: true}).hidden === false", timeout,
             "ask its question")
    box = devtools.evaluate(session, f"""(() => {{
        const r = document.getElementById({json.dumps(answer)}).getBoundingClientRect();
        return {{x: r.x + r.width / 2, y: r.y + r.height / 2}}; }})()""")
    for kind in ("mousePressed", "mouseReleased"):
        devtools.call("Input.dispatchMouseEvent", session, type=kind, x=box["x"], y=box["y"],
                      button="left", clickCount=1)


def press_escape_until_ended(devtools, session, timeout):
    for kind in ("keyDown", "keyUp"):
        devtools.call("Input.dispatchKeyEvent", session, type=kind, key="Escape", code="Escape",
                      windowsVirtualKeyCode=27, nativeVirtualKeyCode=27)
    wait_for(devtools, session, "window.showState === 'ended'", timeout, "end after Escape")


READ_FILE = """(() => {
  const bytes = Module.FS.readFile(%s);
  let text = "";
  for (let i = 0; i < bytes.length; i += 32768)
    text += String.fromCharCode.apply(null, bytes.subarray(i, i + 32768));
  return btoa(text);
})()"""


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("out")
    parser.add_argument("frames")
    parser.add_argument("--fps", default="25")
    parser.add_argument("--seconds")
    parser.add_argument("--start")
    parser.add_argument("--timeout", type=float, default=900)
    parser.add_argument("--play", type=float)
    parser.add_argument("--ask", choices=("yes", "no"))
    parser.add_argument("--env", action="append", default=[],
                        help="NAME=VALUE for the player's environment (its debug switches)")
    options = parser.parse_args()
    if not os.path.isfile(os.path.join(options.out, "index.html")):
        raise SystemExit(f"web-capture: {options.out} holds no page (scripts/make-web.sh builds one)")
    os.makedirs(options.frames, exist_ok=True)

    server = serve(options.out)
    profile = tempfile.mkdtemp(prefix="web-capture-")
    browser, devtools = start_browser(profile)
    status = 1
    try:
        target = devtools.call("Target.createTarget", url="about:blank")["targetId"]
        session = devtools.call("Target.attachToTarget", targetId=target, flatten=True)["sessionId"]
        devtools.call("Runtime.enable", session)
        devtools.call("Log.enable", session)  # the browser's own messages: WebGL errors
        if options.ask and options.play is None:
            raise SystemExit("web-capture: --ask goes with --play")
        if options.play is not None:
            query = "ask" if options.ask else "play"
            if options.start:
                query += f"&start={options.start}"
        else:
            query = f"capture&fps={options.fps}"
            for name in ("seconds", "start"):
                if getattr(options, name):
                    query += f"&{name}={getattr(options, name)}"
        for pair in options.env:
            query += "&env=" + urllib.parse.quote(pair)
        url = f"http://127.0.0.1:{server.server_address[1]}/index.html?{query}"
        devtools.call("Page.navigate", session, url=url)
        started = time.monotonic()
        frames = None
        if options.ask:
            answer_question(devtools, session, options.ask, options.timeout)
        while True:
            state = devtools.evaluate(session, "window.showState || 'navigating'")
            elapsed = time.monotonic() - started
            if state == "ended":
                break
            if options.play is not None and state == "running":
                frames_at_start = devtools.evaluate(session, "Module.framesShown || 0")
                time.sleep(options.play)
                frames = devtools.evaluate(session, "Module.framesShown || 0") - frames_at_start
                if options.ask:
                    press_escape_until_ended(devtools, session, options.timeout)
                break
            if elapsed > options.timeout:
                raise RuntimeError(f"the page did not end within {options.timeout:.0f} s (state {state})")
            time.sleep(0.2)
        summary = devtools.evaluate(session, """({
            status: window.showStatus === undefined ? null : window.showStatus,
            times: window.showTimes, firstFrameAt: Module.firstFrameAt || null,
            framesShown: Module.framesShown || 0,
            endScreen: document.getElementById("ended").hidden ? null
                       : document.getElementById("endText").textContent})""")
        if options.play is not None:
            if frames is None:
                raise RuntimeError(f"the show ended before {options.play} s of play")
            summary["fps"] = frames / options.play
            status = summary["status"] if options.ask else 0
        else:
            status = summary["status"]
            names = devtools.evaluate(session, "(() => { try { return Module.FS.readdir('/capture'); } catch (e) { return []; } })()")
            for name in sorted(n for n in names if n not in (".", "..")):
                data = devtools.evaluate(session, READ_FILE % json.dumps("/capture/" + name))
                with open(os.path.join(options.frames, name), "wb") as file:
                    file.write(base64.b64decode(data))
            summary["files"] = len(names) - 2 if names else 0
        with open(os.path.join(options.frames, "web-run.json"), "w") as file:
            json.dump(summary, file, indent=1)
        with open(os.path.join(options.frames, "console.txt"), "w") as file:
            file.write("\n".join(devtools.console) + "\n")
        if status != 0:
            sys.stderr.write("\n".join(devtools.console) + "\n")
    except Exception as error:  # the browser's own words help more than a trace
        sys.stderr.write(f"web-capture: {error}\n" + "\n".join(devtools.console[-40:]) + "\n")
        status = 1
    finally:
        browser.terminate()
        try:
            browser.wait(timeout=10)
        except subprocess.TimeoutExpired:
            browser.kill()
        server.shutdown()
        shutil.rmtree(profile, ignore_errors=True)
    return status if isinstance(status, int) else 1


if __name__ == "__main__":
    sys.exit(main())

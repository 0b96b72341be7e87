// The page around the player: fetches the packed show whole with a progress bar, asks
// the start-up question (whose click also lets the browser start sound), runs the
// player on the canvas, and shows the end screen when the show ends.
//
// index.html?play starts windowed without the question; ?capture&fps=N&seconds=S&start=T plays the show on the capture clock instead and
// keeps its frames in the player's file system under /capture; window.showState
// becomes "ended" when the player has exited (window.showStatus: its exit status).
"use strict";

(function () {
  const query = new URLSearchParams(location.search);
  const capture = query.has("capture");
  const answered = capture || query.has("play");  // no start-up question
  const $ = (id) => document.getElementById(id);
  const messages = [];
  let archive = null;
  let loose = [];  // [name, bytes]: files the player reads from beside itself
  let runtimeReady = false;
  window.showState = "loading";
  window.showTimes = { start: performance.now() };

  function show(id) {
    for (const screen of ["loading", "question", "ended"]) $(screen).hidden = screen !== id;
    $("screen").hidden = id === null;
  }

  function ended(status) {
    if (window.showState === "ended") return;
    window.showState = "ended";
    window.showStatus = status;
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    $("endText").textContent = status === 0 ? "The show has ended."
                                            : "The show ended with status " + status + ".";
    $("messages").textContent = status === 0 ? "" : messages.join("\n");
    show("ended");
  }

  window.Module = {
    canvas: $("canvas"),
    arguments: [],
    print: (text) => console.log(text),
    printErr: (text) => { messages.push(text); console.warn(text); },
    // ?env=NAME=VALUE (repeatable) sets the player's environment: its debug switches.
    preRun: [() => {
      for (const pair of query.getAll("env")) {
        const at = pair.indexOf("=");
        if (at > 0) Module.ENV[pair.slice(0, at)] = pair.slice(at + 1);
      }
    }],
    onRuntimeInitialized: () => { runtimeReady = true; ready(); },
    onExit: (status) => ended(status),
    onAbort: (what) => { messages.push(String(what)); ended(99); },
    framesShown: 0,  // counted by the player at each presented frame
  };

  function start(fullscreen) {
    const args = capture
      ? ["--windowed", "--capture", "/capture", "--frames", "png",
         "--fps", query.get("fps") || "25"]
      : [fullscreen ? "--fullscreen" : "--windowed"];
    for (const option of ["seconds", "start"])
      if (query.has(option)) args.push("--" + option, query.get(option));
    const FS = Module.FS;
    // The player looks for its archive beside its own file, as on disk.
    FS.writeFile("/demo.cfl", archive);
    for (const [name, bytes] of loose) FS.writeFile("/" + name, bytes);
    archive = null;
    loose = [];
    FS.mkdirTree("/proc/self");
    FS.symlink("/demo", "/proc/self/exe");
    if (capture) FS.mkdir("/capture");
    show(null);
    $("canvas").focus();
    window.showState = "running";
    window.showTimes.main = performance.now();
    Module.callMain(args);
  }

  function ready() {
    if (!runtimeReady || !archive) return;
    window.showTimes.loaded = performance.now();
    if (answered) {
      start(false);
      return;
    }
    show("question");
    $("yes").onclick = () => {
      document.documentElement.requestFullscreen().catch(() => {});
      start(true);
    };
    $("no").onclick = () => start(false);
  }

  async function fetchShow() {
    const response = await fetch("show.cfl");
    if (!response.ok) throw new Error("show.cfl: " + response.status + " " + response.statusText);
    const total = Number(response.headers.get("Content-Length")) || 0;
    const reader = response.body.getReader();
    const parts = [];
    let received = 0;
    for (;;) {
      const { done, value } = await reader.read();
      if (done) break;
      parts.push(value);
      received += value.length;
      if (total) $("progress").value = received / total;
      $("bytes").textContent = (received / 1048576).toFixed(1) + " MB" +
                               (total ? " of " + (total / 1048576).toFixed(1) + " MB" : "");
    }
    const whole = new Uint8Array(received);
    let at = 0;
    for (const part of parts) { whole.set(part, at); at += part.length; }
    return whole;
  }

  $("again").onclick = () => location.reload();
  show("loading");
  async function fetchLoose() {
    const response = await fetch("loose.txt");
    if (!response.ok) return [];
    const names = (await response.text()).split("\n").filter((name) => name);
    return Promise.all(names.map(async (name) => {
      const file = await fetch("loose/" + name);
      if (!file.ok) throw new Error(name + ": " + file.status);
      return [name, new Uint8Array(await file.arrayBuffer())];
    }));
  }

  Promise.all([fetchShow(), fetchLoose()]).then(([bytes, files]) => {
    archive = bytes;
    loose = files;
    ready();
  }).catch((error) => {
    messages.push("The show could not be loaded: " + error.message);
    ended(1);
  });
  const script = document.createElement("script");
  script.src = "demo.js";
  document.body.appendChild(script);
})();

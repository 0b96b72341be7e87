// Stands in for the player's demo.js in the page test: it keeps the page's files, and
// when started writes what it was given (its arguments, the archive's size, the loose
// files) and one WebGL2 frame into the capture folder, then exits as the player would.
(function () {
  const files = {};
  Module.FS = {
    writeFile: (path, data) => { files[path] = data; },
    mkdirTree: () => {},
    mkdir: () => {},
    symlink: (target, path) => { files[path] = "link " + target; },
    readdir: (dir) => [".", ".."].concat(Object.keys(files)
      .filter((path) => path.startsWith(dir + "/")).map((path) => path.slice(dir.length + 1))),
    readFile: (path) => files[path],
  };
  Module.callMain = (args) => {
    const gl = Module.canvas.getContext("webgl2");
    gl.clearColor(0, 1, 0, 1);
    gl.clear(gl.COLOR_BUFFER_BIT);
    const png = atob(Module.canvas.toDataURL("image/png").split(",")[1]);
    files["/capture/frame-000000.png"] = Uint8Array.from(png, (c) => c.charCodeAt(0));
    const report = ["args " + args.join(" "), "archive " + files["/demo.cfl"].length,
                    "loose " + new TextDecoder().decode(files["/screen.seq"]).trim(),
                    "exe " + files["/proc/self/exe"]].join("\n") + "\n";
    files["/capture/report.txt"] = new TextEncoder().encode(report);
    Module.framesShown = 1;
    Module.firstFrameAt = performance.now();
    setTimeout(() => Module.onExit(0), 10);
  };
  setTimeout(() => Module.onRuntimeInitialized(), 10);
})();

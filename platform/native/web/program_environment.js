// The program's environment (ZANTREL_BACKEND, TMPDIR, ...): the process's under Node.js, and in
// a page whatever the page puts in Module.environment.
Module["preRun"] = Module["preRun"] || [];
Module["preRun"].push(() => {
  const given = typeof process == "object" && process.env ? process.env : Module["environment"];
  Object.assign(ENV, given || {});
});

// Under Node.js the program's environment is the process's (ZANTREL_BACKEND, TMPDIR, ...).
Module["preRun"] = Module["preRun"] || [];
Module["preRun"].push(() => Object.assign(ENV, process.env));

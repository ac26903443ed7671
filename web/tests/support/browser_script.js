// The ending every script that drives a browser against a server of its own shares (the
// pictures, the extension's benchmark): both are closed whatever happens, and a failure ends
// the process with its error and a failing status, never with a server left listening.
'use strict';

// Runs `work(server, browser)` with the server `serve()` resolves to and the browser
// `launch()` resolves to (anything with close()); closes the browser, then the server.
function runWithBrowser(serve, launch, work) {
  const main = async () => {
    const server = await serve();
    let browser = null;
    try {
      browser = await launch();
      await work(server, browser);
    } finally {
      if (browser) await browser.close();
      server.close();
    }
  };
  main().catch((error) => {
    console.error(error);
    process.exit(1);
  });
}

module.exports = {runWithBrowser};

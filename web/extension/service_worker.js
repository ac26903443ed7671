// Chromium runs the background as a service worker, which loads the very scripts that the
// manifest lists for Firefox's background page, in their order: the list is written once.
importScripts(...chrome.runtime.getManifest().background.scripts);

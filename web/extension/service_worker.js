// Chromium runs the background as a service worker, which loads the same scripts that Firefox's
// background page lists.
importScripts('zentrova_core.js', 'aria2.js', 'servers.js', 'background.js');

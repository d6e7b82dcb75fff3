// How soon a visitor meets the form, in chromium-headless-shell over a throttled network: for each
// site folder, the time from navigation to the form and the bytes of the files fetched by then, and the page's
// whole weight (every file of the site). The network is 20 Mbit/s down with 40 ms round trips
// unless MBITS and RTT_MS say otherwise.
// Usage: node first_form.mjs SITE... [--mbits MBITS] [--rtt RTT_MS]
import fs from 'node:fs';
import path from 'node:path';

import {serveFolder} from './serve.mjs';
import {launchBrowser, openPage, waitFor} from '../../tests/web/cdp.mjs';

const args = process.argv.slice(2);
const option = (name, fallback) => (args.includes(name) ? Number(args[args.indexOf(name) + 1]) : fallback);
const mbits = option('--mbits', 20);
const rttMs = option('--rtt', 40);
const sites = args.filter((arg, i) => !arg.startsWith('--') && !(i > 0 && args[i - 1].startsWith('--')));
const mib = (bytes) => (bytes < 1048576 ? `${(bytes / 1024).toFixed(1)} KiB` : `${(bytes / 1048576).toFixed(2)} MiB`);

function folderBytes(folder) {
  return fs.readdirSync(folder, {withFileTypes: true}).reduce((sum, entry) => {
    const file = path.join(folder, entry.name);
    return sum + (entry.isDirectory() ? folderBytes(file) : fs.statSync(file).size);
  }, 0);
}

const browser = await launchBrowser('chromium-headless-shell');
for (const site of sites) {
  const server = await serveFolder(site);
  const page = await openPage(browser, 1024, 768);
  let received = 0;
  browser.on((message) => {
    if (message.method === 'Network.loadingFinished') received += message.params.encodedDataLength;
  });
  await page.send('Network.enable');
  await page.send('Network.setCacheDisabled', {cacheDisabled: true});
  await page.send('Network.emulateNetworkConditions', {offline: false, latency: rttMs,
    downloadThroughput: mbits * 1e6 / 8, uploadThroughput: mbits * 1e6 / 8});
  const started = Date.now();
  await page.send('Page.navigate', {url: `http://127.0.0.1:${server.address().port}/`});
  // The form as each version of the page offers it: its own state, or the program's dialog.
  await waitFor(page, "window.velmora && ['form', 'dialog'].includes(window.velmora.state)", 120000, 'the form', 10);
  const toForm = Date.now() - started;
  const byForm = received;
  console.log(`${site}: the form after ${toForm} ms, ${mib(byForm)} fetched by then; ` +
              `the site weighs ${mib(folderBytes(site))} (${mbits} Mbit/s, ${rttMs} ms round trips)`);
  await page.close();
  server.close();
}
await browser.close();

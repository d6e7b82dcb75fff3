// The browser build in a real browser: chromium-headless-shell on SwiftShader drives the page
// through the DevTools protocol and checks
//  - every state of the page as a visitor meets it (states.mjs);
//  - the player: keys, the bar under the picture and the time in the address (player.mjs);
//  - one frame per scene (?fps=10&autostart&start=T-0.5&frames=T) matches the desktop program's
//    --frames picture of the same moment (RMSE at most 0.02) and is not black;
//  - no page shows an error in its console.
// Usage: node browser_test.mjs SITE NATIVE_FRAMES_DIR OUT_DIR T1,T2,... [BROWSER]  (SITE: build-web/site)
// A time may carry its own limit (T:LIMIT) where a known difference is still open.
// The desktop pictures are made beforehand (tests/web/run-web-test); the browser's go to OUT_DIR.
import fs from 'node:fs';
import path from 'node:path';

import {serveFolder} from '../../tools/web/serve.mjs';
import {launchBrowser, openPage, waitFor} from './cdp.mjs';
import {meanLevel, readPng, rmse} from './png.mjs';
import {checkPlayer} from './player.mjs';
import {checkStates} from './states.mjs';

const [buildWeb, nativeDir, outDir, timesText, browserPath = 'chromium-headless-shell'] = process.argv.slice(2);
if (!buildWeb || !nativeDir || !outDir || !timesText) {
  console.error('usage: node browser_test.mjs SITE NATIVE_FRAMES_DIR OUT_DIR T1,T2,... [BROWSER]');
  process.exit(2);
}
const limitRmse = 0.02;
const moments = timesText.split(',').map((item) => {
  const [t, limit] = item.split(':').map(Number);
  return {t, limit: limit || limitRmse};
});
const failures = [];
const check = (ok, what) => {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
  if (!ok) failures.push(what);
};
const timeName = (seconds) => {
  const ms = Math.round(seconds * 1000);
  return `${String(Math.floor(ms / 1000)).padStart(4, '0')}.${String(ms % 1000).padStart(3, '0')}`;
};

const server = await serveFolder(buildWeb);
const base = `http://127.0.0.1:${server.address().port}/`;
const browser = await launchBrowser(browserPath);
fs.mkdirSync(outDir, {recursive: true});

async function visit(query) {
  const page = await openPage(browser, 1024, 768);
  await page.send('Page.navigate', {url: base + query});
  return page;
}
const pageLines = (page) => page.evaluate("document.getElementById('stage').innerText");

try {
  await checkStates({site: buildWeb, browserPath, outDir, check});
  await checkPlayer({site: buildWeb, browserPath, outDir, check});

  // One frame per scene against the desktop program's.
  for (const {t, limit} of moments) {
    const name = `${timeName(t)}.png`;
    const started = Date.now();
    const page = await visit(`?fps=10&autostart&start=${(t - 0.5).toFixed(3)}&frames=${t}`);
    await waitFor(page, "window.velmora && ['ended', 'error'].includes(window.velmora.state)", 120000, `the frame at ${t} s`);
    const pictures = await page.evaluate('window.velmora.framePictures()');
    const seconds = ((Date.now() - started) / 1000).toFixed(1);
    if (!pictures[name]) {
      check(false, `${name}: the page stored no picture (${await pageLines(page)})`);
      await page.close();
      continue;
    }
    const file = path.join(outDir, name);
    fs.writeFileSync(file, Buffer.from(pictures[name], 'base64'));
    const web = readPng(file);
    const native = readPng(path.join(nativeDir, name));
    const difference = rmse(web, native);
    check(difference <= limit && meanLevel(web) > 0.01,
          `${name}: RMSE ${difference.toFixed(4)} (at most ${limit}) against the desktop frame, mean level ` +
          `${meanLevel(web).toFixed(3)} (${seconds} s)`);
    check(page.errors.length === 0, `${name}: no console errors ${page.errors.join('; ')}`);
    await page.close();
  }
} catch (error) {
  failures.push(error.message);
  console.log('FAIL ' + error.message);
} finally {
  await browser.close();
  server.close();
}
if (failures.length > 0) {
  console.log(`browser test: ${failures.length} failure(s)`);
  process.exit(1);
}
console.log('browser test: all passed');

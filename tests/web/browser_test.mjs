// The browser build in a real browser: chromium-headless-shell on SwiftShader drives the page
// through the DevTools protocol and checks
//  - a bad page parameter ends the page with a visible line, not a stuck page;
//  - the launch form: 640x480 + Windowed + Launch gives a 640 x 480 canvas, the music plays,
//    Escape ends the presentation;
//  - one frame per scene (?fps=30&autostart&start=T-0.5&frames=T) matches the desktop program's
//    --frames picture of the same moment (RMSE at most 0.02) and is not black;
//  - no page shows an error in its console.
// Usage: node browser_test.mjs BUILD_WEB NATIVE_FRAMES_DIR OUT_DIR T1,T2,... [BROWSER]
// A time may carry its own limit (T:LIMIT) where a known difference is still open.
// The desktop pictures are made beforehand (tests/web/run-web-test); the browser's go to OUT_DIR.
import fs from 'node:fs';
import path from 'node:path';

import {serveFolder} from '../../tools/web/serve.mjs';
import {launchBrowser, openPage, waitFor} from './cdp.mjs';
import {meanLevel, readPng, rmse} from './png.mjs';

const [buildWeb, nativeDir, outDir, timesText, browserPath = 'chromium-headless-shell'] = process.argv.slice(2);
if (!buildWeb || !nativeDir || !outDir || !timesText) {
  console.error('usage: node browser_test.mjs BUILD_WEB NATIVE_FRAMES_DIR OUT_DIR T1,T2,... [BROWSER]');
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
const pageLines = (page) => page.evaluate("document.getElementById('lines').innerText");

try {
  // A bad parameter: the program's own message on the page, and an end.
  {
    const page = await visit('?fps=fast&autostart');
    await waitFor(page, "window.velmora && window.velmora.state === 'ended'", 30000, 'the end of a bad start');
    const lines = await pageLines(page);
    check(/--fps/.test(lines) && (await page.evaluate('window.velmora.exitStatus')) === 2,
          `?fps=fast is refused on the page: ${JSON.stringify(lines.split('\n')[0])}`);
    await page.close();
  }

  // The launch form, the music and Escape.
  {
    const page = await visit('');
    await waitFor(page, "window.velmora && window.velmora.state === 'dialog'", 30000, 'the launch form');
    const defaults = await page.evaluate("[1000,1001,1002,1005,1006].map((id) => document.getElementById('c' + id).checked).join()");
    check(defaults === 'false,true,false,false,false', `the form opens with 800x600 checked, Windowed off (${defaults})`);
    await page.evaluate("document.getElementById('c1002').click(); document.getElementById('c1000').click(); document.getElementById('c1006').click()");
    await page.evaluate("document.getElementById('c1003').click()", true);
    await waitFor(page, "window.velmora.state === 'playing'", 30000, 'the presentation to start');
    const size = await page.evaluate("window.velmora.canvas.width + 'x' + window.velmora.canvas.height");
    check(size === '640x480', `1024x768, then 640x480, Windowed, Launch: the canvas is ${size}`);
    await waitFor(page, 'window.velmora.audio.length > 0 && !window.velmora.audio[0].paused && window.velmora.audio[0].currentTime > 0',
                  60000, 'the music to play');
    check(true, 'the audio element plays after Launch');
    const started = await page.evaluate('[performance.now(), window.velmora.yields]');
    await new Promise((resolve) => setTimeout(resolve, 3000));
    const later = await page.evaluate('[performance.now(), window.velmora.yields]');
    console.log(`     ${((later[1] - started[1]) * 1000 / (later[0] - started[0])).toFixed(1)} frames/s in the Opening scene at 640x480`);
    for (const type of ['keyDown', 'keyUp']) {
      await page.send('Input.dispatchKeyEvent', {type, key: 'Escape', code: 'Escape', windowsVirtualKeyCode: 27});
    }
    await waitFor(page, "window.velmora.state === 'ended'", 10000, 'Escape to end the presentation');
    check((await page.evaluate('window.velmora.exitStatus')) === 0 &&
          (await page.evaluate('window.velmora.audio.length')) === 0, 'Escape ends the presentation and stops the music');
    check(page.errors.length === 0, `no console errors in the launched run ${page.errors.join('; ')}`);
    await page.close();
  }

  // Full screen (Windowed off) and leaving it, which ends the presentation as Escape does.
  {
    const page = await visit('');
    await waitFor(page, "window.velmora && window.velmora.state === 'dialog'", 30000, 'the launch form');
    await page.evaluate("document.getElementById('c1003').click()", true);
    await waitFor(page, "window.velmora.state === 'playing'", 30000, 'the presentation to start');
    // The browser enters full screen a moment after the request.
    await waitFor(page, "document.fullscreenElement && document.fullscreenElement.id === 'canvas'", 10000,
                  'the canvas to go full screen');
    check(true, 'Launch with Windowed off shows the canvas full screen');
    await page.evaluate('document.exitFullscreen()', true);
    await waitFor(page, "window.velmora.state === 'ended'", 15000, 'leaving full screen to end the presentation');
    check((await page.evaluate('window.velmora.exitStatus')) === 0 && page.errors.length === 0,
          `leaving full screen ends the presentation ${page.errors.join('; ')}`);
    await page.close();
  }

  // One frame per scene against the desktop program's.
  for (const {t, limit} of moments) {
    const name = `${timeName(t)}.png`;
    const started = Date.now();
    const page = await visit(`?fps=30&autostart&start=${(t - 0.5).toFixed(3)}&frames=${t}`);
    await waitFor(page, "window.velmora && window.velmora.state === 'ended'", 120000, `the frame at ${t} s`);
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
